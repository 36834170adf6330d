#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class DevicePlatform;
class QTextStream;

// Where the command line finds its devices: the real platform, or the simulated desk.
struct CliBackend
{
    std::function<std::unique_ptr<DevicePlatform>()> makePlatform;
    // The window's single-instance lock; while another program holds it, commands that
    // talk to devices refuse. Empty: no lock is taken (simulated devices).
    QString lockPath;
    // The model's pause before it parses each reply; below 0 keeps the model's own. Tests
    // shorten it.
    int replyDelayMs = -1;
};

// The command line's exit codes.
namespace CliExit {
constexpr int kDone = 0;
constexpr int kUsage = 1;
constexpr int kNoDevice = 2;
constexpr int kNotConfirmed = 3;
constexpr int kBadFile = 4;
} // namespace CliExit

// Runs one command (arguments without the program name), writing results to out and
// errors and warnings to err. Needs an application object; returns the exit code.
int RunCli(const QStringList &arguments, QTextStream &out, QTextStream &err,
           const CliBackend &backend);

// The model's diagnostic lines go nowhere unless ORADESK_CLI_LOG is set, so that standard
// error carries only the command's own sentences. Call once at start.
void QuietDiagnostics();
