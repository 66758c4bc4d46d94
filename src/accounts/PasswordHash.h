#pragma once

#include <QString>

// Book passwords are kept in the registry as a salted PBKDF2-HMAC-SHA256 hash:
// "pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>". Empty text means no password.

// The iteration count new hashes get (about 50-100 ms on an ordinary machine).
int PasswordHashIterations();

// Empty for an empty password, otherwise a hash with a fresh random salt.
QString HashPassword(const QString &password);
QString HashPassword(const QString &password, const QByteArray &salt, int iterations);

// True when the password matches the stored text: an empty store matches only an
// empty password. A store that is not a hash (a row written by hand) is compared
// as plain text. Exact and case-sensitive.
bool VerifyPassword(const QString &password, const QString &stored);

bool IsPasswordHash(const QString &stored);
