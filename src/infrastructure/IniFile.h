#pragma once

#include <QString>
#include <QStringList>
#include <QList>

// An ini file with the semantics of the Windows profile functions: section and
// key names compare without regard to case, keys keep their file order, values
// are raw text (no quoting, no escapes), "key=" means an empty value. Every
// call reads the file afresh and every write rewrites it atomically, so two
// holders of the same file see each other's last write.
class IniFile
{
public:
    explicit IniFile(const QString &fileName);

    QString fileName() const { return m_fileName; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // Key names of a section in file order; empty when the section is missing.
    QStringList ReadSection(const QString &section) const;
    QStringList ReadSections() const;
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;

    // Writes create the file (not its folder) and return false when it cannot be written.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);
    bool EraseSection(const QString &section);
    bool DeleteKey(const QString &section, const QString &key);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    QList<Section> load() const;
    bool save(const QList<Section> &sections) const;

    QString m_fileName;
};
