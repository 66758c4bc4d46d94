#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// Writes a table as an Excel 97-2003 workbook: BIFF8 records in the "Workbook"
// stream of a compound file. Cells by value type: QString as text, Money, double
// and integers as numbers, QDate/QDateTime as dates, bool as a boolean; a null
// value leaves the cell empty. Other types are written as their text.
class XlsWriter
{
public:
    // A BIFF8 sheet holds 65,536 rows; one of them is the header.
    static constexpr qsizetype MaxSheetRows = 65536;
    static constexpr qsizetype DataRowsPerSheet = MaxSheetRows - 1;
    static constexpr int MaxColumns = 256;
    // Excel keeps at most this many characters in a cell.
    static constexpr int MaxTextLength = 32767;

    // Writes the captions as a header row, then every row. Rows that do not fit on
    // one sheet continue on "name (2)", "name (3)", ... each with the header repeated.
    // The file is replaced atomically; on failure it is left as it was and
    // errorText says why.
    static bool Write(const QString &fileName, const QString &sheetName, const QStringList &captions,
                      const QList<QVector<QVariant>> &rows, QString *errorText = nullptr);

    // The names of the sheets that Write gives rowCount data rows.
    static QStringList SheetNames(const QString &sheetName, qsizetype rowCount);
};
