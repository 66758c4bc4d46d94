#include "Tdm.h"

#include "Connection.h"
#include "ConnectionString.h"
#include "DbError.h"
#include "Messages.h"
#include "Query.h"

#include <QCoreApplication>

Tdm *dm = nullptr;
QString CurrentConnectionString;

namespace {
bool g_terminationRequested = false;
}

Tdm::Tdm(QObject *owner, const QString &)
    : QObject(owner)
{
    adc = new Connection(this);
    adc->setObjectName(QStringLiteral("adc"));
    auto make = [this](const char *name) {
        auto *q = new Query(adc, this);
        q->setObjectName(QLatin1String(name));
        return q;
    };
    AQ_Query = make("AQ_Query");
    AQ_Query1 = make("AQ_Query1");
    AQ_Query2 = make("AQ_Query2");
    AQ_Query3 = make("AQ_Query3");
    AQ_Query4 = make("AQ_Query4");
    dmasp = make("dmasp");
    aqtmp = make("aqtmp");
}

Tdm::~Tdm()
{
    if (dm == this)
        dm = nullptr;
}

bool Tdm::Connect(const QString &fileName)
{
    try {
        const QString text = BuildConnectionString(fileName);
        adc->Close();
        adc->setConnectionString(text);
        adc->Open();
        CurrentConnectionString = text;
        return true;
    } catch (const DbError &e) {
        ShowMessageBox(nullptr, QStringLiteral("Error Message:\r\r") + e.text(), 1);
        RequestTermination();
        return false;
    }
}

void Tdm::RunSql(Query *query, const QString &sql, int mode)
{
    query->Close();
    query->setSql(sql);
    if (mode == 0)
        query->ExecSql();
    else if (mode == 1)
        query->Open();
}

bool OpenSession(const QString &fileName)
{
    CloseSession();
    dm = new Tdm(QCoreApplication::instance(), fileName);
    return dm->Connect(fileName);
}

void CloseSession()
{
    delete dm;
    dm = nullptr;
}

void RequestTermination()
{
    g_terminationRequested = true;
    QCoreApplication::exit(1);
}

bool TerminationRequested()
{
    return g_terminationRequested;
}

void ResetTermination()
{
    g_terminationRequested = false;
}
