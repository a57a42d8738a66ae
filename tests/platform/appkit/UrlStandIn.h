// A stand-in for the desktop's browser and file manager: an xdg-open first in PATH, while it lives,
// that notes what it was asked to open; a failing one answers as xdg-open does when nothing on the
// desktop opens that kind of file (3).
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdlib>
#include <string>
#include <vector>

class UrlStandIn {
public:
    explicit UrlStandIn(bool failing = false) : mOldPath(std::getenv("PATH") ? std::getenv("PATH") : "") {
        QFile tool(mFolder.filePath(QStringLiteral("xdg-open")));
        tool.open(QIODevice::WriteOnly);
        tool.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\nexit %2\n")
                       .arg(mFolder.filePath(QStringLiteral("opened")))
                       .arg(failing ? 3 : 0)
                       .toUtf8());
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ::setenv("PATH", (mFolder.path().toStdString() + ":" + mOldPath).c_str(), 1);
    }
    ~UrlStandIn() { ::setenv("PATH", mOldPath.c_str(), 1); }
    UrlStandIn(const UrlStandIn&) = delete;
    UrlStandIn& operator=(const UrlStandIn&) = delete;

    // What it was asked to open, in order: pages as their URLs, folders and files by path.
    std::vector<QUrl> opened() const {
        std::vector<QUrl> urls;
        QFile notes(mFolder.filePath(QStringLiteral("opened")));
        if (!notes.open(QIODevice::ReadOnly))
            return urls;
        for (const QByteArray& line : notes.readAll().split('\n'))
            if (!line.isEmpty())
                urls.push_back(line.startsWith('/') ? QUrl::fromLocalFile(QString::fromUtf8(line))
                                                    : QUrl(QString::fromUtf8(line)));
        return urls;
    }

private:
    QTemporaryDir mFolder;
    std::string mOldPath;
};
