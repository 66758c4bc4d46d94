// Build-time tool: makes an SQLite database file from SQL script files.
// usage: makedb <output.tqx> <script.sql>...
#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

static QStringList splitStatements(const QString &script)
{
    QStringList statements;
    QString current;
    const auto lines = script.split(u'\n');
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u"--"_s) || trimmed.isEmpty())
            continue;
        current += line + u'\n';
        if (trimmed.endsWith(u';')) {
            statements << current.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: makedb <output> <script.sql>...\n";
        return 2;
    }
    const QString out = args.at(1);
    QFile::remove(out);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"makedb"_s);
        db.setDatabaseName(out);
        if (!db.open()) {
            QTextStream(stderr) << "cannot create " << out << ": " << db.lastError().text() << '\n';
            return 1;
        }
        QSqlQuery q(db);
        q.exec(u"PRAGMA foreign_keys=OFF"_s);
        db.transaction();
        for (int i = 2; i < args.size(); ++i) {
            QFile f(args.at(i));
            if (!f.open(QIODevice::ReadOnly)) {
                QTextStream(stderr) << "cannot read " << args.at(i) << '\n';
                return 1;
            }
            const auto statements = splitStatements(QString::fromUtf8(f.readAll()));
            for (const QString &st : statements) {
                if (!q.exec(st)) {
                    QTextStream(stderr) << args.at(i) << ": " << q.lastError().text() << "\nin: " << st << '\n';
                    db.rollback();
                    return 1;
                }
            }
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"makedb"_s);
    return 0;
}
