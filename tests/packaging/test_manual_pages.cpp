// The manual pages keep up with the programs: every option a program's --help names is in its
// page, and each page has the sections a user looks for.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include "app/ProgramDirectory.h"

namespace {

constexpr int kHelpBoundMilliseconds = 10000;
constexpr int kComPorts = 7;

// The page's text as a reader sees it: groff's escapes for the minus, the quote and the
// backslash resolved, font changes dropped.
QString PageText(const char* page) {
    QFile file(QStringLiteral(BROVANE_PACKAGING_DIR "/") + page);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.replace(QStringLiteral("\\(dq"), QStringLiteral("\""));
    text.replace(QStringLiteral("\\e"), QStringLiteral("\\"));
    text.remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")));
    return text;
}

// The program's help. No port is reachable from it: every COM name leads to a missing file.
QString Help(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (int n = 1; n <= kComPorts; ++n) {
        environment.insert(QStringLiteral("BROVANE_COM%1").arg(n),
                           QStringLiteral("no-such-device-%1").arg(n));
    }
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(PathText(ExecutableDirectory() / program.toStdString())),
                  arguments);
    if (!process.waitForFinished(kHelpBoundMilliseconds)) {
        process.kill();
        process.waitForFinished(kHelpBoundMilliseconds);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

// The command names the main help lists under "Commands:".
QStringList Commands(const QString& help) {
    QStringList commands;
    bool inList = false;
    for (const QString& line : help.split('\n')) {
        if (line.startsWith(QStringLiteral("Commands:"))) {
            inList = true;
        } else if (inList && line.trimmed().isEmpty()) {
            break;
        } else if (inList) {
            commands << line.trimmed().section(' ', 0, 0);
        }
    }
    return commands;
}

// The codes a help lists under "Exit codes:", one a line ("  130  interrupted").
QStringList ExitCodes(const QString& help) {
    QStringList codes;
    static const QRegularExpression line(QStringLiteral(R"(^\s+(\d+)\s)"));
    bool inList = false;
    for (const QString& text : help.split('\n')) {
        if (text.startsWith(QStringLiteral("Exit codes:"))) {
            inList = true;
        } else if (const auto match = line.match(text); inList && match.hasMatch()) {
            codes << match.captured(1);
        } else {
            inList = false;
        }
    }
    return codes;
}

// The codes a page's EXIT STATUS section lists, one ".B 130" line each, in order.
QStringList PageExitCodes(const QString& page) {
    QStringList codes;
    static const QRegularExpression code(QStringLiteral(R"(^\.B (\d+)$)"));
    bool inSection = false;
    for (const QString& line : page.split('\n')) {
        if (line.startsWith(QStringLiteral(".SH "))) {
            inSection = line == QStringLiteral(".SH EXIT STATUS");
        } else if (const auto match = code.match(line); inSection && match.hasMatch()) {
            codes << match.captured(1);
        }
    }
    return codes;
}

// Every option word in a help text: -o, --quiet, --identity-hex.
QSet<QString> Options(const QString& help) {
    QSet<QString> options;
    static const QRegularExpression option(
        QStringLiteral(R"((?<![\w-])(--?[a-z][a-z-]*[a-z]|-[a-z]))"));
    for (auto match = option.globalMatch(help); match.hasNext();) {
        options.insert(match.next().captured(1));
    }
    return options;
}

bool Names(const QString& page, const QString& word) {
    const QRegularExpression alone(QStringLiteral(R"((?<![\w-]))") +
                                   QRegularExpression::escape(word) +
                                   QStringLiteral(R"((?![\w-]))"));
    return page.contains(alone);
}

struct PageCase {
    const char* program;
    const char* page;
    // Words the page must hold besides the options: its sections and the facts users ask for.
    QStringList required;
};

class ManualPage : public testing::TestWithParam<PageCase> {};

TEST_P(ManualPage, NamesEveryOptionTheProgramsHelpNames) {
    const PageCase& page = GetParam();
    const QString text = PageText(page.page);
    ASSERT_FALSE(text.isEmpty()) << page.page;
    const QString program = QString::fromLatin1(page.program);
    if (program == QStringLiteral("brovane")) {
        GTEST_SKIP() << "brovane takes no arguments and has no --help";
    }
    QString help = Help(program, {QStringLiteral("--help")});
    ASSERT_FALSE(help.isEmpty()) << page.program;
    for (const QString& command : Commands(help)) {
        help += Help(program, {command, QStringLiteral("--help")});
    }
    const QSet<QString> options = Options(help);
    EXPECT_TRUE(options.contains(QStringLiteral("--help")));
    for (const QString& option : options) {
        EXPECT_TRUE(Names(text, option)) << page.page << " lacks " << option.toStdString();
    }
}

TEST_P(ManualPage, ListsTheExitCodesTheProgramsHelpLists) {
    const PageCase& page = GetParam();
    if (QString::fromLatin1(page.program) == QStringLiteral("brovane")) {
        GTEST_SKIP() << "brovane takes no arguments and has no --help";
    }
    const QStringList help =
        ExitCodes(Help(QString::fromLatin1(page.program), {QStringLiteral("--help")}));
    EXPECT_FALSE(help.isEmpty()) << page.program << "'s help lists no exit codes";
    EXPECT_EQ(PageExitCodes(PageText(page.page)).join(' ').toStdString(),
              help.join(' ').toStdString())
        << page.page;
}

TEST_P(ManualPage, HoldsTheSectionsAndFactsUsersLookFor) {
    const QString text = PageText(GetParam().page);
    for (const QString& word : GetParam().required) {
        EXPECT_TRUE(text.contains(word)) << GetParam().page << " lacks " << word.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ManualPage,
    testing::Values(
        PageCase{"brovane",
                 "brovane.1",
                 {".SH ENVIRONMENT", ".SH EXIT STATUS", ".SH SEE ALSO", "BROVANE_COM1",
                  "BROVANE_COM7", "dialout", "/dev/serial/by-id", "lang_00.ini"}},
        PageCase{"brovane-cli",
                 "brovane-cli.1",
                 {".SH COMMANDS", ".SH OPTIONS", ".SH CONFIGURATION FILE", ".SH EXIT STATUS",
                  ".SH EXAMPLES", ".SH SEE ALSO", "BROVANE_COM1"}},
        PageCase{"quorix-sim", "quorix-sim.1", {".SH OPTIONS", ".SH EXIT STATUS", ".SH SEE ALSO"}}),
    [](const testing::TestParamInfo<PageCase>& info) {
        QString name = QString::fromLatin1(info.param.program);
        name.remove('-');
        return name.toStdString();
    });

}  // namespace
