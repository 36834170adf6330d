#pragma once

#include <QString>
#include <QStringList>

// The command line, parsed: one command with its files and options.
struct CliOptions
{
    enum class Command
    {
        Help,
        Version,
        List,
        Show,
        Export,
        Import,
        Convert,
    };

    Command command = Command::Help;
    QStringList files;
    int device = 1;  // 1-based, in the order `list` shows
    int profile = 0; // 1..3; 0 for the active profile
    bool json = false;
    bool force = false;
    bool simulate = false;

    // Parses the arguments after the program name. Returns false with error set to one
    // sentence when they do not form a command.
    static bool Parse(const QStringList &arguments, CliOptions &options, QString &error);
    // The --help text, with the exit codes.
    static QString Help();
};
