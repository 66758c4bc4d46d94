#include "CurrentAccount.h"

QString CurrentAccountID;
QString CurrentAccountName;
QString CurrentAccountFile;
QString CurrentAccountPath;
QString CurrentAccountPassword;

void ClearCurrentAccount()
{
    CurrentAccountID.clear();
    CurrentAccountName.clear();
    CurrentAccountFile.clear();
    CurrentAccountPath.clear();
    CurrentAccountPassword.clear();
}
