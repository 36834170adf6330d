#pragma once

#include <QtGlobal>

// Keeps Qt's diagnostic lines out of the fuzzer's output: installed once, on the first input.
inline void QuietQtOnce()
{
    static const bool quiet = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        return true;
    }();
    (void)quiet;
}
