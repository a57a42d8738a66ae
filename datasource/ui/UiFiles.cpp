#include "UiFiles.h"

#include "Bundle.h"

#include <QDir>
#include <QFile>
#include <QUiLoader>

#include <cstdio>

namespace {

class CMappingLoader final : public QUiLoader {
public:
    explicit CMappingLoader(const UiClassMap& classes) : mClasses(classes) { clearPluginPaths(); }

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        QWidget* widget = nullptr;
        if (const auto mapped = mClasses.find(className); mapped != mClasses.end()) {
            widget = mapped->second(parent);
        } else if (availableWidgets().contains(className)) {
            widget = QUiLoader::createWidget(className, parent, name);
        } else {
            std::fprintf(stderr,
                         "K3100: interface file names the unknown class %s; a plain widget stands in\n",
                         qPrintable(className));
            widget = new QWidget(parent);
        }
        if (widget)
            widget->setObjectName(name);
        return widget;
    }

private:
    const UiClassMap& mClasses;
};

} // namespace

std::filesystem::path QSUIResourceFolder() {
    const std::optional<fnd::Bundle> own =
        fnd::Bundle::containing(reinterpret_cast<const void*>(&QSUIResourceFolder));
    return own ? own->resourceFolder() : std::filesystem::path();
}

std::unique_ptr<QWidget> LoadResourceUiFile(const QString& name, const UiClassMap& classes,
                                            const ElementVisitor& visitor) {
    const std::filesystem::path file = QSUIResourceFolder() / (name.toStdString() + ".ui");
    return LoadUiFile(file, classes, visitor);
}

std::unique_ptr<QWidget> LoadUiFile(const std::filesystem::path& file, const UiClassMap& classes,
                                    const ElementVisitor& visitor) {
    QFile device(QString::fromStdString(file.string()));
    if (!device.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "K3100: cannot open the interface file %s: %s\n", file.c_str(),
                     qPrintable(device.errorString()));
        return nullptr;
    }
    CMappingLoader loader(classes);
    loader.setWorkingDirectory(QDir(QString::fromStdString(file.parent_path().string())));
    std::unique_ptr<QWidget> root(loader.load(&device));
    if (!root) {
        std::fprintf(stderr, "K3100: the interface file %s is damaged: %s\n", file.c_str(),
                     qPrintable(loader.errorString()));
        return nullptr;
    }
    if (visitor)
        PeekSubviews(root.get(), visitor);
    return root;
}
