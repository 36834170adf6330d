#include "cli/cliapp.h"
#include "platform/virtualdeviceplatform.h"
#include "simulateddesk.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

// The command line over the simulated desk (its --simulate).
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QuietDiagnostics();
    SimulatedDesk desk(SimulatedDesk::DefaultStatePath());
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliBackend backend;
    backend.makePlatform = [] { return std::make_unique<VirtualDevicePlatform>(); };
    const int code = RunCli(app.arguments().mid(1), out, err, backend);
    if (!desk.Save())
        std::fprintf(stderr, "Warning: the simulated controllers' state could not be kept.\n");
    return code;
}
