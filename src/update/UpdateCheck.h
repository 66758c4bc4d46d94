#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Clears the list and fills it with the non-empty pieces of the text between separators.
void SplitText(const QString &text, const QString &separator, QStringList &list);

// The first four pieces of a dotted version text, missing ones as "0" ("1.2" -> "1.2.0.0").
QString NormaliseVersionText(const QString &text);

// The normalised version of the program file. The version is compiled in, so the
// file name is not consulted.
QString GetFileVersionText(const QString &fileName);

using VersionParts = std::array<quint64, 4>;

// Exactly four unsigned numbers joined by "."; nothing otherwise.
std::optional<VersionParts> ParseVersionText(const QString &text);

// Numeric, part by part. A server text that is not four numbers is never newer;
// a local text that is not four numbers is older than any valid server version.
bool IsNewerVersion(const QString &serverVersion, const QString &localVersion);

// The version the check compares against: the program's own unless set (tests).
QString LocalVersionText();
void SetLocalVersionText(const QString &version);

// How long the whole download may take, in milliseconds.
int UpdateTimeout();
void SetUpdateTimeout(int msecs);

QString UpdateInfoUrl(const QString &updateIP);
QString UpdateInfoFileName();

// One run of the online check. It waits for the download in a local event loop,
// so the interface stays alive and cancel() can be called from it meanwhile.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    explicit UpdateCheck(QObject *parent = nullptr);

    // Downloads the description file from the saved UpdateIP, keeps it in the
    // ini folder and returns true when it offers a newer version than ours.
    bool run();
    void cancel();

    bool isRunning() const { return m_running; }
    bool wasCancelled() const { return m_cancelled; }
    // The Version of the last downloaded description; empty when none arrived.
    QString serverVersion() const { return m_serverVersion; }

Q_SIGNALS:
    void cancelRequested();

private:
    bool download(const QString &url, QByteArray &body);

    bool m_running = false;
    bool m_cancelled = false;
    QString m_serverVersion;
};

bool CheckForUpdate();
