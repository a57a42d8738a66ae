// A .desktop file as the desktop has it: its [Desktop Entry] group, the localised names and the Exec line
// turned into commands for one and for two files.
#include "DesktopEntry.h"
#include "ExecLine.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<ws::DesktopEntry> entry =
        ws::DesktopEntry::parse({reinterpret_cast<const char*>(data), size}, "/fuzz/app.desktop");
    if (!entry)
        return 0;
    entry->name();
    entry->icon();
    entry->boolean("NoDisplay");
    ws::takesFiles(*entry);
    ws::expandExec(*entry, {});
    ws::expandExec(*entry, {"/tmp/a page.pdf", "/tmp/%f\"$b.pdf"});
    for (const std::string& argument : ws::splitExec(entry->exec()).value_or(ws::Argv{}))
        ws::splitExec(ws::quoteExecArgument(argument));
    return 0;
}
