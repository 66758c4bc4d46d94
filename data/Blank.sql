-- Template of an account book (db/Blank.tqx): every table and view a book
-- needs, the frequencies and the units of measure. New books are copies of it.

-- Income and expense -------------------------------------------------------

CREATE TABLE xt_tc_Group (
    GroupID   INTEGER PRIMARY KEY AUTOINCREMENT,
    GroupName VARCHAR(50)
);

-- Frequencies. LoopTime '1' falls due once; any other value repeats every
-- Offset weeks (DaysType 'W') or months (DaysType 'M').
CREATE TABLE xt_tc_Due (
    FrequencyID TEXT PRIMARY KEY NOT NULL,
    Frequency   VARCHAR(50),
    DueName     VARCHAR(50),
    Offset      INTEGER,
    DaysType    VARCHAR(1),
    LoopTime    VARCHAR(1)
);

CREATE TABLE xt_td_Payment (
    IncID       INTEGER PRIMARY KEY AUTOINCREMENT,
    Description VARCHAR(255),
    Amount      CURRENCY,
    Type        VARCHAR(1),
    DateBegin   DATE,
    DateEnd     DATE,
    HasEnd      VARCHAR(1),
    GroupID     INTEGER,
    FrequencyID TEXT,
    AccountID   INTEGER
);

CREATE INDEX ix_xt_td_Payment_GroupID ON xt_td_Payment (GroupID);

-- Outer joins keep items whose group or frequency is missing in the list.
CREATE VIEW xt_vd_Payment AS
SELECT p.IncID       AS IncID,
       p.Description AS Description,
       p.Amount      AS Amount,
       p.Type        AS Type,
       p.DateBegin   AS DateBegin,
       p.DateEnd     AS DateEnd,
       p.HasEnd      AS HasEnd,
       p.GroupID     AS GroupID,
       g.GroupName   AS GroupName,
       p.FrequencyID AS FrequencyID,
       d.Frequency   AS Frequency,
       p.AccountID   AS AccountID
FROM xt_td_Payment p
LEFT OUTER JOIN xt_tc_Group g ON g.GroupID = p.GroupID
LEFT OUTER JOIN xt_tc_Due d ON d.FrequencyID = p.FrequencyID;

INSERT INTO xt_tc_Due (FrequencyID, Frequency, DueName, Offset, DaysType, LoopTime) VALUES
    ('01', 'Once',          'Once',          0,  '',  '1'),
    ('02', 'Weekly',        'Weekly',        1,  'W', '0'),
    ('03', 'Every 2 weeks', 'Every 2 weeks', 2,  'W', '0'),
    ('04', 'Every 4 weeks', 'Every 4 weeks', 4,  'W', '0'),
    ('05', 'Monthly',       'Monthly',       1,  'M', '0'),
    ('06', 'Every 2 months', 'Every 2 months', 2, 'M', '0'),
    ('07', 'Quarterly',     'Quarterly',     3,  'M', '0'),
    ('08', 'Every 4 months', 'Every 4 months', 4, 'M', '0'),
    ('09', 'Half-yearly',   'Half-yearly',   6,  'M', '0'),
    ('10', 'Yearly',        'Yearly',        12, 'M', '0');

-- Address book -----------------------------------------------------------

CREATE TABLE xt_td_Contact (
    ContactID           INTEGER PRIMARY KEY AUTOINCREMENT,
    first               VARCHAR(50),
    middle              VARCHAR(50),
    last                VARCHAR(50),
    title               VARCHAR(50),
    display             VARCHAR(150),
    nickName            VARCHAR(50),
    "E-mail"            VARCHAR(100),
    remark              TEXT,
    Home_StreetAddr     VARCHAR(200),
    Home_Phone          VARCHAR(50),
    Home_Fax            VARCHAR(50),
    Home_Mobile         VARCHAR(50),
    Home_City           VARCHAR(50),
    Home_State          VARCHAR(50),
    Home_ZipCode        VARCHAR(20),
    Home_Country        VARCHAR(50),
    Home_WebPage        VARCHAR(200),
    Business_Company    VARCHAR(100),
    Business_JobTitle   VARCHAR(50),
    Business_Department VARCHAR(50),
    Business_Office     VARCHAR(50),
    Business_Phone      VARCHAR(50),
    Business_Fax        VARCHAR(50),
    Business_IPPhone    VARCHAR(50),
    Business_Country    VARCHAR(50),
    Business_StreetAddr VARCHAR(200),
    Business_State      VARCHAR(50),
    Business_ZipCode    VARCHAR(20),
    Business_WebPage    VARCHAR(200)
);

CREATE VIEW xt_vd_Contact AS
SELECT ContactID          AS ContactID,
       first              AS first,
       middle             AS Middle,
       last               AS Last,
       display            AS Display,
       title              AS Title,
       nickName           AS Nickname,
       "E-mail"           AS "E-mail",
       Home_Mobile        AS Home_Mobile,
       Home_Phone         AS Home_Phone,
       Home_City          AS Home_City,
       Home_Country       AS Home_Country,
       Business_Company   AS Business_Company,
       Business_JobTitle  AS Business_JobTitle,
       Business_Phone     AS Business_Phone,
       remark             AS Remark
FROM xt_td_Contact;

-- Accounts of the book; the program assigns the four-digit codes.
-- The account search filters on AccoutName, so the view offers that name too.
CREATE TABLE xt_tc_Account (
    AccountID    TEXT PRIMARY KEY NOT NULL,
    AccountName  VARCHAR(50),
    BeginBalance CURRENCY,
    Remark       VARCHAR(255),
    CreateDate   DATE
);

CREATE VIEW xt_vc_Account AS
SELECT AccountID    AS AccountID,
       AccountName  AS AccountName,
       BeginBalance AS BeginBalance,
       Remark       AS Remark,
       CreateDate   AS CreateDate,
       AccountName  AS AccoutName
FROM xt_tc_Account;

-- Catalogues of the sales contract --------------------------------------

CREATE TABLE product (
    产品编码 INTEGER PRIMARY KEY AUTOINCREMENT,
    产品名称 VARCHAR(100),
    型号     VARCHAR(50),
    计量单位 VARCHAR(20)
);

CREATE TABLE supplier (
    供方编码   INTEGER PRIMARY KEY AUTOINCREMENT,
    供方名称   VARCHAR(100),
    单位地址   VARCHAR(200),
    法定代表人 VARCHAR(50),
    委托代表人 VARCHAR(50),
    电话       VARCHAR(50),
    开户行     VARCHAR(100),
    账号       VARCHAR(50),
    税号       VARCHAR(50),
    邮编       VARCHAR(10)
);

CREATE TABLE customer (
    客户编码   INTEGER PRIMARY KEY AUTOINCREMENT,
    客户名称   VARCHAR(100),
    单位地址   VARCHAR(200),
    法定代表人 VARCHAR(50),
    委托代表人 VARCHAR(50),
    电话       VARCHAR(50),
    开户行     VARCHAR(100),
    账号       VARCHAR(50),
    税号       VARCHAR(50),
    邮编       VARCHAR(10)
);

-- No key: the product dialog lists the units in the order they were added.
CREATE TABLE units (
    计量单位 VARCHAR(20)
);

INSERT INTO units (计量单位) VALUES
    ('个'), ('台'), ('件'), ('套'), ('箱'), ('把'), ('包'), ('千克'), ('吨'), ('米');

CREATE TABLE Contract_role (
    IncID    INTEGER PRIMARY KEY AUTOINCREMENT,
    合同编码 INTEGER,
    合同序号 INTEGER,
    条款序号 TEXT,
    条款名称 TEXT,
    条款内容 TEXT
);
