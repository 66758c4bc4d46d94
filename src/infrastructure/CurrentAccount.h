#pragma once

#include <QString>

// The open account book, filled when a book is opened and read by every window
// that needs to know it. The password is the one last confirmed, kept in memory only.
extern QString CurrentAccountID;
extern QString CurrentAccountName;
extern QString CurrentAccountFile;
extern QString CurrentAccountPath;
extern QString CurrentAccountPassword;

void ClearCurrentAccount();
