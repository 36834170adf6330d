#include "app/singleinstance.h"
#include "cliapp.h"
#include "platform/linux/linuxdeviceplatform.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

// The simulated desk lives in a program of its own, built with the tests: --simulate hands
// the whole command line over to it, from beside this program.
int RunSimulated(char **argv)
{
    const QString path = QCoreApplication::applicationDirPath() + "/quorel-oradesk-cli-sim";
    if (QFileInfo(path).isExecutable()) {
        const QByteArray file = QFile::encodeName(path);
        argv[0] = const_cast<char *>(file.constData());
        execv(file.constData(), argv);
    }
    std::fprintf(stderr, "--simulate needs quorel-oradesk-cli-sim beside this program; it is "
                         "built with the tests (scripts/oradesk.sh cli).\n");
    return CliExit::kUsage;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QuietDiagnostics();
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.contains(QStringLiteral("--simulate")))
        return RunSimulated(argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliBackend backend;
    backend.makePlatform = [] { return std::make_unique<LinuxDevicePlatform>(); };
    backend.lockPath = SingleInstanceGuard::DefaultLockPath();
    return RunCli(arguments, out, err, backend);
}
