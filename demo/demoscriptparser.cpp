#include "demoscriptparser.h"

#include <QRegularExpression>

namespace {

struct Command
{
    const char *word;
    DemoStep::Kind kind;
    const char *usage;
};

const Command kCommands[] = {
    {"wait", DemoStep::Kind::Wait, "wait MS"},
    {"waitfor", DemoStep::Kind::WaitFor, "waitfor OBJECTNAME [TIMEOUT_MS]"},
    {"waitgone", DemoStep::Kind::WaitGone, "waitgone OBJECTNAME [TIMEOUT_MS]"},
    {"key", DemoStep::Kind::Key, "key NAME [HOLD_MS]"},
    {"hold", DemoStep::Kind::Hold, "hold NAME..."},
    {"release", DemoStep::Kind::Release, "release NAME..."},
    {"stick", DemoStep::Kind::Stick, "stick LX LY RX RY"},
    {"trigger", DemoStep::Kind::Trigger, "trigger L R"},
    {"device", DemoStep::Kind::Device, "device wired|dongle"},
    {"click", DemoStep::Kind::Click, "click OBJECTNAME"},
    {"drag", DemoStep::Kind::Drag, "drag OBJECTNAME DX DY"},
    {"type", DemoStep::Kind::Type, "type TEXT"},
    {"screenshot", DemoStep::Kind::Screenshot, "screenshot FILE"},
    {"state", DemoStep::Kind::State, "state FILE"},
    {"fault", DemoStep::Kind::Fault,
     "fault drop-write CODE | corrupt-write CODE INDEX | drop-commit | delay-replies MS | clear"},
    {"text", DemoStep::Kind::Text, "text OBJECTNAME FILE"},
    {"quit", DemoStep::Kind::Quit, "quit"},
};

QString WrongCount(const Command &command)
{
    return QStringLiteral("wrong number of arguments (usage: %1)")
        .arg(QString::fromLatin1(command.usage));
}

// A whole number in [min, max], or an error naming what it stands for.
QString Number(const QString &word, const char *what, int min, int max, QVector<int> &out)
{
    bool ok = false;
    const qlonglong value = word.toLongLong(&ok);
    if (!ok)
        return QStringLiteral("%1 \"%2\" is not a whole number").arg(QLatin1String(what), word);
    if (value < min || value > max)
        return QStringLiteral("%1 %2 is out of range %3..%4")
            .arg(QLatin1String(what), word)
            .arg(min)
            .arg(max);
    out.append(int(value));
    return QString();
}

QString Buttons(const QStringList &words, QStringList &out)
{
    for (const QString &word : words) {
        if (!DemoScriptParser::ButtonNames().contains(word))
            return QStringLiteral("unknown button \"%1\" (one of: %2)")
                .arg(word, DemoScriptParser::ButtonNames().join(QLatin1Char(' ')));
        out.append(word);
    }
    return QString();
}

// The line as an error message quotes it: a very long one is cut.
QString Quoted(const QString &line)
{
    constexpr int kShown = 120;
    return line.size() > kShown ? line.left(kShown) + QStringLiteral("...") : line;
}

} // namespace

const QStringList &DemoScriptParser::ButtonNames()
{
    static const QStringList kNames = {
        QStringLiteral("up"),    QStringLiteral("down"), QStringLiteral("left"),
        QStringLiteral("right"), QStringLiteral("a"),    QStringLiteral("b"),
        QStringLiteral("x"),     QStringLiteral("y"),    QStringLiteral("lb"),
        QStringLiteral("rb"),    QStringLiteral("lt"),   QStringLiteral("rt"),
        QStringLiteral("view"),  QStringLiteral("menu"), QStringLiteral("ls"),
        QStringLiteral("rs")};
    return kNames;
}

DemoScriptParser::Result DemoScriptParser::Parse(const QString &script)
{
    Result result;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        DemoStep step;
        step.line = i + 1;
        step.text = line;
        const QString problem = ParseLine(line, step);
        if (!problem.isEmpty()) {
            result.steps.clear();
            result.error = QStringLiteral("line %1 (%2): %3").arg(i + 1).arg(Quoted(line), problem);
            return result;
        }
        result.steps.append(step);
    }
    return result;
}

// A fault and its numbers: a command code in hex (with or without 0x), a byte index of the
// 64-byte report, or milliseconds.
bool DemoScriptParser::Fault(const QStringList &args, DemoStep &step)
{
    if (args.isEmpty())
        return false;
    const QString &fault = args[0];
    step.names = QStringList{fault};
    bool ok = true;
    const auto code = [&](const QString &word) {
        QString hex = word;
        if (hex.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            hex = hex.mid(2);
        const int value = hex.toInt(&ok, 16);
        ok = ok && value >= 0 && value <= 0xFF;
        return value;
    };
    if (fault == QLatin1String("drop-write") && args.size() == 2)
        step.numbers = {code(args[1])};
    else if (fault == QLatin1String("corrupt-write") && args.size() == 3)
        step.numbers = {code(args[1]), args[2].toInt(&ok)};
    else if (fault == QLatin1String("delay-replies") && args.size() == 2)
        step.numbers = {args[1].toInt(&ok)};
    else if ((fault == QLatin1String("drop-commit") || fault == QLatin1String("clear")) &&
             args.size() == 1)
        return true;
    else
        return false;
    const int last = step.numbers.last();
    return ok && last >= 0 && (fault != QLatin1String("corrupt-write") || last < 64) &&
           (fault != QLatin1String("delay-replies") || last <= kMaxMs);
}

QString DemoScriptParser::ParseLine(const QString &line, DemoStep &step)
{
    static const QRegularExpression kBlanks(QStringLiteral("\\s+"));
    const QStringList words = line.split(kBlanks, Qt::SkipEmptyParts);
    const QString word = words.first();
    const QStringList args = words.mid(1);
    const Command *command = nullptr;
    for (const Command &c : kCommands)
        if (word == QLatin1String(c.word))
            command = &c;
    if (!command)
        return QStringLiteral("unknown command \"%1\"").arg(word);
    step.kind = command->kind;

    using Kind = DemoStep::Kind;
    switch (step.kind) {
    case Kind::Wait:
        if (args.size() != 1)
            return WrongCount(*command);
        return Number(args[0], "MS", 0, kMaxMs, step.numbers);
    case Kind::WaitFor:
    case Kind::WaitGone:
        if (args.isEmpty() || args.size() > 2)
            return WrongCount(*command);
        step.argument = args[0];
        if (args.size() == 1) {
            step.numbers = {kDefaultWaitForMs};
            return QString();
        }
        return Number(args[1], "TIMEOUT_MS", 0, kMaxMs, step.numbers);
    case Kind::Key: {
        if (args.isEmpty() || args.size() > 2)
            return WrongCount(*command);
        const QString bad = Buttons(args.mid(0, 1), step.names);
        if (!bad.isEmpty())
            return bad;
        if (args.size() == 1) {
            step.numbers = {kDefaultHoldMs};
            return QString();
        }
        return Number(args[1], "HOLD_MS", 0, kMaxMs, step.numbers);
    }
    case Kind::Hold:
    case Kind::Release:
        if (args.isEmpty())
            return WrongCount(*command);
        return Buttons(args, step.names);
    case Kind::Stick: {
        if (args.size() != 4)
            return WrongCount(*command);
        const char *const what[] = {"LX", "LY", "RX", "RY"};
        for (int i = 0; i < 4; ++i) {
            const QString bad = Number(args[i], what[i], 0, kMaxStick, step.numbers);
            if (!bad.isEmpty())
                return bad;
        }
        return QString();
    }
    case Kind::Trigger: {
        if (args.size() != 2)
            return WrongCount(*command);
        const QString bad = Number(args[0], "L", 0, kMaxTrigger, step.numbers);
        return bad.isEmpty() ? Number(args[1], "R", 0, kMaxTrigger, step.numbers) : bad;
    }
    case Kind::Device:
        if (args.size() != 1)
            return WrongCount(*command);
        if (args[0] != QLatin1String("wired") && args[0] != QLatin1String("dongle"))
            return QStringLiteral("unknown device \"%1\" (wired or dongle)").arg(args[0]);
        step.argument = args[0];
        return QString();
    case Kind::Drag: {
        if (args.size() != 3)
            return WrongCount(*command);
        step.argument = args[0];
        const QString bad = Number(args[1], "DX", -kMaxDrag, kMaxDrag, step.numbers);
        return bad.isEmpty() ? Number(args[2], "DY", -kMaxDrag, kMaxDrag, step.numbers) : bad;
    }
    case Kind::Type:
        // The rest of the line, blanks inside it included.
        if (args.isEmpty())
            return WrongCount(*command);
        step.argument = line.mid(word.size()).trimmed();
        return QString();
    case Kind::Click:
    case Kind::Screenshot:
    case Kind::State:
        if (args.size() != 1)
            return WrongCount(*command);
        step.argument = args[0];
        return QString();
    case Kind::Fault:
        return Fault(args, step) ? QString() : WrongCount(*command);
    case Kind::Text:
        if (args.size() != 2)
            return WrongCount(*command);
        step.argument = args[0];
        step.names = QStringList{args[1]};
        return QString();
    case Kind::Quit:
        return args.isEmpty() ? QString() : WrongCount(*command);
    }
    return QString();
}
