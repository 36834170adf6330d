// Starts the demo (the real window over simulated devices, offscreen) several times and
// reports the time from process start to the first shown window and the resident memory
// once the module selection is shown. The demo prints both in its benchmark mode.
#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString demo = QStringLiteral(ORADESK_DEMO_PATH);
    const int runs = 5;
    std::vector<double> startMs;
    std::vector<long> rssKb;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORADESK_DEMO_BENCH"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        const auto spawned = std::chrono::steady_clock::now();
        process.start(demo, QStringList());
        if (!process.waitForFinished(60000)) {
            std::printf("run %d: the demo did not finish\n", run + 1);
            return 1;
        }
        long long shownNs = 0;
        long rss = -1;
        for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
            if (line.startsWith("bench first-window-steady-ns "))
                shownNs = line.mid(29).toLongLong();
            else if (line.startsWith("bench module-selection-rss-kb "))
                rss = line.mid(30).toLong();
        }
        if (shownNs == 0 || rss < 0) {
            std::printf("run %d: no figures from the demo (exit %d)\n", run + 1,
                        process.exitCode());
            return 1;
        }
        const double ms = double(shownNs - std::chrono::duration_cast<std::chrono::nanoseconds>(
                                               spawned.time_since_epoch())
                                               .count()) /
                          1e6;
        startMs.push_back(ms);
        rssKb.push_back(rss);
        std::printf("run %d: first window %.0f ms after start, %.1f MB resident at the module "
                    "selection\n",
                    run + 1, ms, double(rss) / 1024.0);
    }
    std::sort(startMs.begin(), startMs.end());
    std::sort(rssKb.begin(), rssKb.end());
    std::printf("median: first window %.0f ms (target < 500), %.1f MB resident (target < 120)\n",
                startMs[runs / 2], double(rssKb[runs / 2]) / 1024.0);
    return 0;
}
