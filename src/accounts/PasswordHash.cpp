#include "PasswordHash.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace {

const QLatin1String kScheme("pbkdf2-sha256");
constexpr int kIterations = 50000;
constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;
// Guards against a forged store that would make a check run for minutes.
constexpr int kMaxIterations = 10'000'000;

struct ParsedHash
{
    int iterations = 0;
    QByteArray salt;
    QByteArray key;
};

bool parse(const QString &stored, ParsedHash *out)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts.at(0) != kScheme)
        return false;
    bool ok = false;
    const int iterations = parts.at(1).toInt(&ok);
    if (!ok || iterations < 1 || iterations > kMaxIterations)
        return false;
    const auto salt = QByteArray::fromBase64Encoding(parts.at(2).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto key = QByteArray::fromBase64Encoding(parts.at(3).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !key || salt.decoded.isEmpty() || key.decoded.isEmpty() || key.decoded.size() > 64)
        return false;
    out->iterations = iterations;
    out->salt = salt.decoded;
    out->key = key.decoded;
    return true;
}

QByteArray derive(const QString &password, const QByteArray &salt, int iterations, int length)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              quint64(length));
}

// Takes the same time wherever the first difference lies.
bool equalConstantTime(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return diff == 0;
}

} // namespace

int PasswordHashIterations()
{
    return kIterations;
}

QString HashPassword(const QString &password, const QByteArray &salt, int iterations)
{
    if (password.isEmpty())
        return QString();
    const QByteArray key = derive(password, salt, iterations, kKeyBytes);
    return kScheme + QLatin1Char('$') + QString::number(iterations) + QLatin1Char('$')
        + QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') + QString::fromLatin1(key.toBase64());
}

QString HashPassword(const QString &password)
{
    quint32 words[kSaltBytes / sizeof(quint32)];
    QRandomGenerator::system()->fillRange(words);
    return HashPassword(password, QByteArray(reinterpret_cast<const char *>(words), sizeof words), kIterations);
}

bool IsPasswordHash(const QString &stored)
{
    ParsedHash parsed;
    return parse(stored, &parsed);
}

bool VerifyPassword(const QString &password, const QString &stored)
{
    if (stored.isEmpty())
        return password.isEmpty();
    ParsedHash parsed;
    if (!parse(stored, &parsed))
        return equalConstantTime(password.toUtf8(), stored.toUtf8());
    if (password.isEmpty())
        return false;
    return equalConstantTime(derive(password, parsed.salt, parsed.iterations, int(parsed.key.size())), parsed.key);
}
