#include "IniFile.h"

#include <QFile>
#include <QSaveFile>

IniFile::IniFile(const QString &fileName)
    : m_fileName(fileName)
{
}

QList<IniFile::Section> IniFile::load() const
{
    QList<Section> sections;
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return sections;
    QByteArray data = file.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const QString text = QString::fromUtf8(data);
    Section *current = nullptr;
    const auto lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
            const QString name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
            current = nullptr;
            for (Section &s : sections) {
                if (s.name.compare(name, Qt::CaseInsensitive) == 0) {
                    current = &s;
                    break;
                }
            }
            if (!current) {
                sections.append(Section{name, {}});
                current = &sections.last();
            }
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = (eq < 0 ? line : line.left(eq)).trimmed();
        const QString value = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
        if (key.isEmpty())
            continue;
        bool found = false;
        for (const Entry &e : std::as_const(current->entries)) {
            if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
                found = true; // the profile functions return the first of duplicate keys
                break;
            }
        }
        if (!found)
            current->entries.append(Entry{key, value});
    }
    return sections;
}

bool IniFile::save(const QList<Section> &sections) const
{
    QByteArray out;
    for (const Section &s : sections) {
        out += '[' + s.name.toUtf8() + "]\r\n";
        for (const Entry &e : s.entries)
            out += e.key.toUtf8() + '=' + e.value.toUtf8() + "\r\n";
    }
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(out);
    return file.commit();
}

static qsizetype findSection(const auto &sections, const QString &name)
{
    for (qsizetype i = 0; i < sections.size(); ++i)
        if (sections.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

static qsizetype findKey(const auto &entries, const QString &key)
{
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries.at(i).key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto sections = load();
    const qsizetype s = findSection(sections, section);
    if (s < 0)
        return defaultValue;
    const qsizetype k = findKey(sections.at(s).entries, key);
    return k < 0 ? defaultValue : sections.at(s).entries.at(k).value;
}

int IniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    bool ok = false;
    const int v = ReadString(section, key, QString()).toInt(&ok);
    return ok ? v : defaultValue;
}

QStringList IniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    const auto sections = load();
    const qsizetype s = findSection(sections, section);
    if (s >= 0)
        for (const Entry &e : sections.at(s).entries)
            keys << e.key;
    return keys;
}

QStringList IniFile::ReadSections() const
{
    QStringList names;
    for (const Section &s : load())
        names << s.name;
    return names;
}

bool IniFile::SectionExists(const QString &section) const
{
    return findSection(load(), section) >= 0;
}

bool IniFile::ValueExists(const QString &section, const QString &key) const
{
    const auto sections = load();
    const qsizetype s = findSection(sections, section);
    return s >= 0 && findKey(sections.at(s).entries, key) >= 0;
}

bool IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    auto sections = load();
    qsizetype s = findSection(sections, section);
    if (s < 0) {
        sections.append(Section{section, {}});
        s = sections.size() - 1;
    }
    // Values are one line each; a line break would split the entry.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    auto &entries = sections[s].entries;
    const qsizetype k = findKey(entries, key);
    if (k < 0)
        entries.append(Entry{key, clean});
    else
        entries[k].value = clean;
    return save(sections);
}

bool IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool IniFile::EraseSection(const QString &section)
{
    auto sections = load();
    const qsizetype s = findSection(sections, section);
    if (s < 0)
        return true;
    sections.removeAt(s);
    return save(sections);
}

bool IniFile::DeleteKey(const QString &section, const QString &key)
{
    auto sections = load();
    const qsizetype s = findSection(sections, section);
    if (s < 0)
        return true;
    const qsizetype k = findKey(sections.at(s).entries, key);
    if (k < 0)
        return true;
    sections[s].entries.removeAt(k);
    return save(sections);
}
