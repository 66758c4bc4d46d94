-- Registry of account books (db/Account.tqx).
-- Column order matters: the open dialog shows only the second column.
CREATE TABLE xt_tc_Account (
    AccountID   INTEGER PRIMARY KEY AUTOINCREMENT,
    AccountName VARCHAR(50) NOT NULL,
    CreateDate  TEXT,
    LastName    VARCHAR(10),
    PWD         TEXT DEFAULT ''
);

-- The sample book db/Sample.tqx, without a password.
INSERT INTO xt_tc_Account (AccountName, CreateDate, LastName, PWD)
VALUES ('Sample', '2026-01-05 09:30:00', '.tqx', '');
