#include "clioptions.h"

#include <QHash>

namespace {

struct CommandSpec
{
    CliOptions::Command command;
    int files;           // positional arguments it takes
    QStringList options; // options it accepts besides --simulate
};

const QHash<QString, CommandSpec> &Commands()
{
    using C = CliOptions::Command;
    static const QHash<QString, CommandSpec> commands = {
        {QStringLiteral("list"), {C::List, 0, {QStringLiteral("--json")}}},
        {QStringLiteral("show"),
         {C::Show,
          0,
          {QStringLiteral("--device"), QStringLiteral("--profile"), QStringLiteral("--json")}}},
        {QStringLiteral("export"),
         {C::Export, 1, {QStringLiteral("--device"), QStringLiteral("--profile")}}},
        {QStringLiteral("import"),
         {C::Import,
          1,
          {QStringLiteral("--device"), QStringLiteral("--profile"), QStringLiteral("--force")}}},
        {QStringLiteral("convert"), {C::Convert, 2, {}}},
    };
    return commands;
}

// A whole positive number, or 0.
int Number(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? value : 0;
}

} // namespace

bool CliOptions::Parse(const QStringList &arguments, CliOptions &options, QString &error)
{
    options = CliOptions();
    QStringList rest;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.command = Command::Help;
            return true;
        }
        if (argument == QLatin1String("--version")) {
            options.command = Command::Version;
            return true;
        }
        if (argument == QLatin1String("--simulate"))
            options.simulate = true;
        else
            rest.append(argument);
    }
    if (rest.isEmpty()) {
        error = QStringLiteral("No command given; run with --help to see the commands.");
        return false;
    }
    const QString name = rest.takeFirst();
    const auto found = Commands().find(name);
    if (found == Commands().end() && name.startsWith(QLatin1String("--"))) {
        error = QStringLiteral("Give the command first and its options after it; run with "
                               "--help to see them.");
        return false;
    }
    if (found == Commands().end()) {
        error = QStringLiteral("There is no command \"%1\"; run with --help to see the commands.")
                    .arg(name);
        return false;
    }
    options.command = found->command;
    QStringList given;
    for (int i = 0; i < rest.size(); ++i) {
        const QString &argument = rest[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            options.files.append(argument);
            continue;
        }
        if (!found->options.contains(argument)) {
            error = QStringLiteral("The %1 command has no option %2.").arg(name, argument);
            return false;
        }
        if (given.contains(argument)) {
            error = QStringLiteral("%1 is given twice.").arg(argument);
            return false;
        }
        given.append(argument);
        if (argument == QLatin1String("--json")) {
            options.json = true;
        } else if (argument == QLatin1String("--force")) {
            options.force = true;
        } else {
            const int value = i + 1 < rest.size() ? Number(rest[i + 1]) : 0;
            const bool profile = argument == QLatin1String("--profile");
            if (value == 0 || (profile && value > 3)) {
                error = profile ? QStringLiteral("--profile takes 1, 2 or 3.")
                                : QStringLiteral("--device takes a number from the list.");
                return false;
            }
            (profile ? options.profile : options.device) = value;
            ++i;
        }
    }
    if (options.files.size() != found->files) {
        error = found->files == 0 ? QStringLiteral("The %1 command takes no file.").arg(name)
                                  : QStringLiteral("The %1 command takes %2.")
                                        .arg(name, found->files == 1 ? QStringLiteral("one file")
                                                                     : QStringLiteral("two files"));
        return false;
    }
    return true;
}

QString CliOptions::Help()
{
    return QStringLiteral(
        "Usage: quorel-oradesk-cli [--simulate] COMMAND [OPTIONS]\n"
        "\n"
        "Reads and writes the profiles of Quorel controllers and dongles.\n"
        "\n"
        "Commands:\n"
        "  list [--json]                        connected controllers and their profiles\n"
        "  show [--device N] [--profile P] [--json]\n"
        "                                       one profile's settings, by name\n"
        "  export [--device N] [--profile P] FILE.json\n"
        "                                       a profile into a portable profile file\n"
        "  import FILE.json [--device N] [--profile P] [--force]\n"
        "                                       a portable profile into the controller,\n"
        "                                       read back and compared\n"
        "  convert IN OUT                       a .qpf profile file to .json or back\n"
        "\n"
        "Options:\n"
        "  --device N      the Nth device of `list` (1 by default)\n"
        "  --profile P     profile 1, 2 or 3 (the active one by default); importing\n"
        "                  makes it the active profile\n"
        "  --json          machine-readable output\n"
        "  --force         import a profile taken from another model\n"
        "  --simulate      use simulated controllers instead of the connected ones\n"
        "                  (needs quorel-oradesk-cli-sim, built with the tests)\n"
        "  --help          this text\n"
        "  --version       the program's version\n"
        "\n"
        "Exit codes:\n"
        "  0  done\n"
        "  1  usage: unknown command, option or value\n"
        "  2  no such device, or the Quorel Oradesk window holds the devices\n"
        "  3  the controller did not answer, did not confirm what was written, or\n"
        "     holds a value that has no name\n"
        "  4  bad file: unreadable, malformed, out of range, newer format, other model\n"
        "\n"
        "Errors go to standard error in one sentence; warnings start with \"Warning:\".\n");
}
