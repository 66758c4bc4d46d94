#include "ExternalTools.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
std::function<bool(const QStringList &)> g_start;
std::function<bool(const QString &)> g_open;
}

void SetExternalToolHooks(std::function<bool(const QStringList &)> start, std::function<bool(const QString &)> open)
{
    g_start = std::move(start);
    g_open = std::move(open);
}

QStringList CalculatorPrograms()
{
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
            QStringLiteral("mate-calc"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
}

QStringList TextEditorPrograms()
{
    return {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
            QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"), QStringLiteral("xed"),
            QStringLiteral("featherpad"), QStringLiteral("leafpad"), QStringLiteral("xedit")};
}

bool StartFirstProgram(const QStringList &names)
{
    if (g_start)
        return g_start(names);
    for (const QString &name : names) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return QProcess::startDetached(path, {});
    }
    return false;
}

bool OpenDocument(const QString &path)
{
    if (g_open)
        return g_open(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
