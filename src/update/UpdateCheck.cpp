#include "UpdateCheck.h"

#include "IniFile.h"
#include "ProgramDir.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

// The description is a few lines; anything far larger is not one.
constexpr qint64 MaxInfoSize = 1024 * 1024;

QString &localVersionOverride()
{
    static QString version;
    return version;
}

int &timeoutMsecs()
{
    static int msecs = 15000;
    return msecs;
}

}

void SplitText(const QString &text, const QString &separator, QStringList &list)
{
    list.clear();
    if (separator.isEmpty()) {
        if (!text.isEmpty())
            list << text;
        return;
    }
    list = text.split(separator, Qt::SkipEmptyParts);
}

QString NormaliseVersionText(const QString &text)
{
    QStringList pieces;
    SplitText(text.trimmed(), QStringLiteral("."), pieces);
    if (pieces.isEmpty())
        return QString();
    while (pieces.size() < 4)
        pieces << QStringLiteral("0");
    return pieces.mid(0, 4).join(QLatin1Char('.'));
}

QString GetFileVersionText(const QString &)
{
    return NormaliseVersionText(QStringLiteral(TELLMONT_VERSION_TEXT));
}

std::optional<VersionParts> ParseVersionText(const QString &text)
{
    const QStringList pieces = text.trimmed().split(QLatin1Char('.'));
    if (pieces.size() != 4)
        return std::nullopt;
    VersionParts parts{};
    for (int i = 0; i < 4; ++i) {
        const QString &piece = pieces.at(i);
        // toULongLong alone would also take signs and blanks.
        if (piece.isEmpty() || piece.size() > 19)
            return std::nullopt;
        for (QChar c : piece)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        parts[i] = piece.toULongLong();
    }
    return parts;
}

bool IsNewerVersion(const QString &serverVersion, const QString &localVersion)
{
    const auto server = ParseVersionText(serverVersion);
    if (!server)
        return false;
    const auto local = ParseVersionText(localVersion);
    return !local || *server > *local;
}

QString LocalVersionText()
{
    if (!localVersionOverride().isEmpty())
        return localVersionOverride();
    return GetFileVersionText(QCoreApplication::applicationFilePath());
}

void SetLocalVersionText(const QString &version)
{
    localVersionOverride() = version;
}

int UpdateTimeout()
{
    return timeoutMsecs();
}

void SetUpdateTimeout(int msecs)
{
    timeoutMsecs() = msecs > 0 ? msecs : 15000;
}

QString UpdateInfoUrl(const QString &updateIP)
{
    return QStringLiteral("http://") + updateIP + QStringLiteral("/download/ProductUpdateInfo.inf");
}

QString UpdateInfoFileName()
{
    return ProgramDir() + QStringLiteral("ini/ProductUpdateInfo.inf");
}

UpdateCheck::UpdateCheck(QObject *parent)
    : QObject(parent)
{
}

void UpdateCheck::cancel()
{
    if (!m_running)
        return;
    m_cancelled = true;
    Q_EMIT cancelRequested();
}

bool UpdateCheck::download(const QString &url, QByteArray &body)
{
    const QUrl target(url, QUrl::StrictMode);
    if (!target.isValid() || target.host().isEmpty())
        return false;

    QNetworkAccessManager manager;
    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&deadline, &QTimer::timeout, reply.get(), &QNetworkReply::abort);
    connect(this, &UpdateCheck::cancelRequested, reply.get(), &QNetworkReply::abort);
    connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(), [r = reply.get()](qint64 received, qint64) {
        if (received > MaxInfoSize)
            r->abort();
    });
    deadline.start(UpdateTimeout());
    if (!reply->isFinished())
        loop.exec();

    if (reply->error() != QNetworkReply::NoError)
        return false;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299)
        return false;
    body = reply->readAll();
    return true;
}

bool UpdateCheck::run()
{
    m_running = true;
    m_cancelled = false;
    m_serverVersion.clear();
    const auto done = qScopeGuard([this] { m_running = false; });

    const QString updateIP = IniFile(ProgramDir() + QStringLiteral("ini/app.ini"))
                                 .ReadString(QStringLiteral("AppName"), QStringLiteral("UpdateIP"), QString());
    if (updateIP.isEmpty())
        return false;

    QByteArray body;
    if (!download(UpdateInfoUrl(updateIP), body) || m_cancelled)
        return false;

    // A description that cannot be kept must not leave an older copy to be read instead.
    QSaveFile file(UpdateInfoFileName());
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        return false;

    m_serverVersion = IniFile(UpdateInfoFileName()).ReadString(QStringLiteral("Tellmont"), QStringLiteral("Version"), QString());
    return IsNewerVersion(m_serverVersion, LocalVersionText());
}

bool CheckForUpdate()
{
    UpdateCheck check;
    return check.run();
}
