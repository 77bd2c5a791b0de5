// Idle CPU of a window: starts a program, lets it settle, then reads its user+system CPU time
// from /proc/PID/stat at the start and the end of a quiet interval and prints the share of one
// core it used. Run it under Xvfb for a real (OpenGL) render loop:
//
//     xvfb-run -a -s '-screen 0 1280x1024x24' build/bench/bench_idle_cpu [--seconds 60] [-- program args...]
//
// Without a program it measures the theme's bare KalvorinBackground
// (ui/theme/kalvorin_theme_gallery --background, next to this program in the build tree).

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <unistd.h>

namespace {

// utime + stime of a process, in clock ticks; -1 when it cannot be read.
long long cpuTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name is in parentheses and may hold spaces: count fields after the last ')'.
    const auto close = line.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // After ')': state is field 3 of the full line, so utime (14) and stime (15) sit at 11 and 12.
    if (fields.size() < 13)
        return -1;
    return fields.at(11).toLongLong() + fields.at(12).toLongLong();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Idle CPU share of one core used by a program's window."));
    args.addHelpOption();
    args.addOption({QStringLiteral("seconds"), QStringLiteral("Length of the measured interval."),
                    QStringLiteral("s"), QStringLiteral("60")});
    args.addOption({QStringLiteral("warmup"), QStringLiteral("Settling time before measuring."),
                    QStringLiteral("s"), QStringLiteral("5")});
    args.addPositionalArgument(QStringLiteral("program"),
                               QStringLiteral("Program and its arguments (after --)."));
    args.process(app);

    QStringList command = args.positionalArguments();
    if (command.isEmpty()) {
        command = {QDir(QCoreApplication::applicationDirPath())
                       .filePath(QStringLiteral("../ui/theme/kalvorin_theme_gallery")),
                   QStringLiteral("--background")};
    }
    const int seconds = args.value(QStringLiteral("seconds")).toInt();
    const int warmup = args.value(QStringLiteral("warmup")).toInt();
    if (seconds <= 0 || warmup < 0) {
        fprintf(stderr, "bench_idle_cpu: bad --seconds or --warmup\n");
        return 2;
    }

    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(command.first(), command.mid(1));
    if (!program.waitForStarted()) {
        fprintf(stderr, "bench_idle_cpu: cannot start %s\n", qPrintable(command.first()));
        return 2;
    }
    const qint64 pid = program.processId();
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);

    QThread::sleep(unsigned(warmup));
    const long long before = cpuTicks(pid);
    QElapsedTimer clock;
    clock.start();
    QThread::sleep(unsigned(seconds));
    const long long after = cpuTicks(pid);
    const double wall = double(clock.nsecsElapsed()) / 1e9;

    program.terminate();
    if (!program.waitForFinished(5000))
        program.kill();

    if (before < 0 || after < 0) {
        fprintf(stderr, "bench_idle_cpu: the program ended before the measurement finished\n");
        return 1;
    }
    const double cpu = double(after - before) / double(ticksPerSecond);
    printf("program: %s\n", qPrintable(command.join(QLatin1Char(' '))));
    printf("interval: %.1f s, CPU time: %.2f s, idle CPU: %.2f %% of one core\n", wall, cpu,
           100.0 * cpu / wall);
    return 0;
}
