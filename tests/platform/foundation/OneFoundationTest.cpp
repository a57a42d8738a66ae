// A module loaded privately at run time shares the host's foundation: its notifications reach the
// host's observers, and the main run loop and the standard defaults are the host's own objects.
#include "NotificationCenter.h"
#include "RunLoop.h"
#include "UserDefaults.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>

namespace {

template <typename Fn> Fn symbol(void* module, const char* name) {
    return reinterpret_cast<Fn>(::dlsym(module, name));
}

} // namespace

TEST(OneFoundation, APrivatelyLoadedModuleSharesTheHostsInstances) {
    void* module = ::dlopen(FOUNDATION_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << ::dlerror();
    const auto post = symbol<void (*)(const char*)>(module, "pluginPost");
    const auto mainLoop = symbol<const void* (*)()>(module, "pluginMainRunLoop");
    const auto defaults = symbol<const void* (*)()>(module, "pluginStandardDefaults");
    ASSERT_TRUE(post && mainLoop && defaults);

    std::string received;
    int owner = 0;
    fnd::NotificationCenter::defaultCenter().addObserver(
        &owner, "ShowQSWindowNotification",
        [&](const fnd::Notification& n) { received = *n.object.asString(); });
    post("ShowQSWindowNotification");
    fnd::NotificationCenter::defaultCenter().removeObserver(&owner);
    EXPECT_EQ(received, "from the plug-in");
    EXPECT_EQ(mainLoop(), &fnd::RunLoop::main());
    EXPECT_EQ(defaults(), &fnd::UserDefaults::standard());
    ::dlclose(module);
}

TEST(OneFoundation, AModuleLoadedByARelativePathFindsItself) {
    const std::filesystem::path plugin(FOUNDATION_PLUGIN);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(plugin.parent_path().parent_path());
    const std::string relative = (plugin.parent_path().filename() / plugin.filename()).string();
    void* module = ::dlopen(relative.c_str(), RTLD_NOW | RTLD_LOCAL);
    std::filesystem::current_path(before);
    ASSERT_NE(module, nullptr) << ::dlerror();
    const auto binaryPath = symbol<void (*)(char*, unsigned long)>(module, "pluginBinaryPath");
    ASSERT_TRUE(binaryPath);
    char path[4096] = "";
    binaryPath(path, sizeof path);
    EXPECT_EQ(std::filesystem::path(path), std::filesystem::canonical(plugin)) << "not the host program";
    ::dlclose(module);
}
