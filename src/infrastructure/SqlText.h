#pragma once

#include <QString>

// The one quoting routine for text spliced into SQL: enclosed in single
// quotes, every single quote inside doubled.
QString Quote(const QString &text);

// A like-pattern that matches the text anywhere: Quote("%" + text + "%").
QString QuoteLike(const QString &text);
