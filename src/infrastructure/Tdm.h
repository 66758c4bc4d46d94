#pragma once

#include <QObject>
#include <QString>

class Connection;
class Query;

// The session on the open account book: the connection adc and the shared queries.
class Tdm : public QObject
{
    Q_OBJECT
public:
    // The file name is accepted and not used: Connect makes the connection.
    Tdm(QObject *owner, const QString &fileName);
    ~Tdm() override;

    // Opens adc on the book file in the db folder. On failure shows
    // "Error Message:" + CR CR + the error text, requests termination and returns false.
    bool Connect(const QString &fileName);
    // Closes the query and replaces its SQL; mode 0 executes it, mode 1 opens it,
    // any other mode leaves it closed.
    void RunSql(Query *query, const QString &sql, int mode);

    Query *AQ_Query;
    Query *AQ_Query1;
    Query *AQ_Query2;
    Query *AQ_Query3;
    Query *AQ_Query4;
    Query *dmasp;
    Query *aqtmp;
    Connection *adc;
};

// The process-wide session; null until the first book is opened.
extern Tdm *dm;
// The connection string of the last book the session opened.
extern QString CurrentConnectionString;

// Destroys the current session, creates a new one and connects it to the book.
bool OpenSession(const QString &fileName);
void CloseSession();

// Asks the application to end: every event loop returns and no new one runs.
void RequestTermination();
bool TerminationRequested();
// Tests only: forget an earlier request.
void ResetTermination();
