// A stand-in for the desktop's browser and file manager: takes the file URLs that
// QDesktopServices::openUrl hands on, while it lives.
#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <vector>

class UrlStandIn : public QObject {
    Q_OBJECT
public:
    UrlStandIn() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlStandIn() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    std::vector<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};
