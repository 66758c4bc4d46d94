-- Sample book (db/Sample.tqx): runs after Blank.sql. A household with a
-- small side business, kept since 2024; most items are open-ended so that
-- every month from now on has due rows.

INSERT INTO xt_tc_Group (GroupID, GroupName) VALUES
    (1, 'Household'),
    (2, 'Salary'),
    (3, 'Business'),
    (4, 'Car'),
    (5, 'Insurance'),
    (6, 'Leisure');

-- Type '1' income, '0' expense. HasEnd '0' is open-ended; DateEnd is still
-- written, as the item editor does. FrequencyID: see xt_tc_Due.
INSERT INTO xt_td_Payment
    (IncID, Description, Amount, Type, DateBegin, DateEnd, HasEnd, GroupID, FrequencyID, AccountID)
VALUES
    (1,  'Salary Anna',                  3850.00, '1', '2024-01-25', '2024-01-25', '0', 2, '05', 1),
    (2,  'Salary Ben (part-time)',        920.00, '1', '2024-03-08', '2024-03-08', '0', 2, '03', 1),
    (3,  'Flat rent',                    1450.00, '0', '2024-02-01', '2024-02-01', '0', 1, '05', 1),
    (4,  'Groceries',                     165.50, '0', '2024-01-06', '2024-01-06', '0', 1, '02', 1),
    (5,  'Electricity and gas',           186.40, '0', '2024-02-15', '2024-02-15', '0', 1, '06', 1),
    (6,  'Water and sewage',               96.30, '0', '2024-03-05', '2024-03-05', '0', 1, '08', 1),
    (7,  'Health insurance',              212.75, '0', '2024-01-01', '2024-01-01', '0', 5, '05', 1),
    (8,  'Car insurance',                 742.00, '0', '2024-09-01', '2024-09-01', '0', 5, '10', 1),
    (9,  'Car loan instalment',           289.00, '0', '2024-05-31', '2029-04-30', '1', 4, '05', 1),
    (10, 'Fuel',                           72.00, '0', '2024-01-12', '2024-01-12', '0', 4, '03', 1),
    (11, 'Consulting retainer',          1200.00, '1', '2025-03-01', '2025-03-01', '0', 3, '05', 1),
    (12, 'Market stall sales',            280.00, '1', '2025-04-05', '2025-04-05', '0', 3, '02', 1),
    (13, 'Web hosting',                    45.00, '0', '2024-05-20', '2024-05-20', '0', 3, '07', 1),
    (14, 'Accountant fee',                350.00, '0', '2024-06-30', '2024-06-30', '0', 3, '09', 1),
    (15, 'Gym membership',                 39.90, '0', '2025-01-07', '2025-01-07', '0', 6, '04', 1),
    (16, 'Streaming subscription',         12.99, '0', '2024-08-14', '2025-06-30', '1', 6, '05', 1),
    (17, 'Old mobile phone contract',      35.00, '0', '2024-01-20', '2025-03-20', '1', 1, '05', 1),
    (18, 'Tax refund 2024',               640.00, '1', '2025-07-15', '2025-07-15', '0', 2, '01', 1),
    (19, 'Summer holiday',               2400.00, '0', '2027-07-10', '2027-07-10', '0', 6, '01', 1);

INSERT INTO xt_td_Contact
    (ContactID, first, middle, last, title, display, nickName, "E-mail", remark,
     Home_StreetAddr, Home_Phone, Home_Mobile, Home_City, Home_State, Home_ZipCode, Home_Country,
     Business_Company, Business_JobTitle, Business_Department, Business_Phone, Business_StreetAddr,
     Business_State, Business_ZipCode, Business_Country, Business_WebPage)
VALUES
    (1, 'Anna', 'Maria', 'Keller', 'Ms', 'Anna Maria Keller', 'Anni', 'anna.keller@example.com', 'Household owner',
     '12 Linden Street', '0171 2204 118', '0151 8840 2210', 'Springfield', 'Ohio', '45501', 'United States',
     'Northwind Logistics', 'Office manager', 'Administration', '0171 2204 300', '400 Harbour Road',
     'Ohio', '45502', 'United States', 'www.northwind.example.com'),
    (2, 'Ben', '', 'Keller', 'Mr', 'Ben Keller', '', 'ben.keller@example.com', 'Part-time at the library',
     '12 Linden Street', '0171 2204 118', '0151 7719 0034', 'Springfield', 'Ohio', '45501', 'United States',
     'Springfield Public Library', 'Assistant', 'Lending', '0171 2290 015', '2 Market Square',
     'Ohio', '45501', 'United States', ''),
    (3, 'Laura', '', 'Brennan', 'Mrs', 'Laura Brennan', '', 'l.brennan@brennan-tax.example.com', 'Tax adviser, files the yearly return',
     '', '', '0160 5521 907', 'Springfield', 'Ohio', '45503', 'United States',
     'Brennan Tax & Accounts', 'Tax adviser', '', '0171 2311 460', '88 Court Street',
     'Ohio', '45503', 'United States', 'www.brennan-tax.example.com'),
    (4, 'Tom', 'J.', 'Whitaker', 'Mr', 'Tom J. Whitaker', 'TJ', 'tom@whitaker-garage.example.com', 'Car service and MOT',
     '', '', '0152 3340 778', 'Springfield', 'Ohio', '45504', 'United States',
     'Whitaker Garage', 'Owner', 'Workshop', '0171 2455 090', '7 Mill Lane',
     'Ohio', '45504', 'United States', ''),
    (5, 'Sophie', '', 'Martin', '', 'Sophie Martin', '', 'sophie.martin@example.org', 'Landlady, rent due on the 1st',
     '31 Elm Avenue', '0171 2098 561', '0157 6612 449', 'Springfield', 'Ohio', '45501', 'United States',
     '', '', '', '', '',
     '', '', '', ''),
    (6, '伟', '', '王', '', '王伟', '', 'wang.wei@huaxing.example.cn', 'Buyer at our Shanghai customer',
     '', '', '139 1234 5678', '上海', '上海', '200120', '中国',
     '上海华兴贸易有限公司', '采购经理', '采购部', '021 5888 1234', '浦东新区张杨路1200号',
     '上海', '200120', '中国', 'www.huaxing.example.cn'),
    (7, 'Greta', '', 'Olsen', 'Dr', 'Greta Olsen', '', 'greta.olsen@example.net', 'Family doctor',
     '', '', '', 'Springfield', 'Ohio', '45502', 'United States',
     'Lindenhof Medical Practice', 'General practitioner', '', '0171 2666 300', '15 Station Road',
     'Ohio', '45502', 'United States', '');

INSERT INTO xt_tc_Account (AccountID, AccountName, BeginBalance, Remark, CreateDate) VALUES
    ('0001', 'Cash',             250.00,  'Wallet and cash box',            '2024-01-01'),
    ('0002', 'Current account',  3120.45, 'Salaries in, rent and bills out', '2024-01-01'),
    ('0003', 'Savings account',  8500.00, 'Holiday and emergency reserve',  '2024-01-01'),
    ('0004', 'Business account', 1875.60, 'Consulting and market stall',    '2025-03-01');

INSERT INTO product (产品编码, 产品名称, 型号, 计量单位) VALUES
    (1, '不锈钢保温杯',   'BW-500',   '个'),
    (2, '电动螺丝刀',     'DL-12V',   '台'),
    (3, '人体工学办公椅', 'YZ-08',    '把'),
    (4, 'A4复印纸',       '70g-500张', '箱'),
    (5, '工具套装',       'GJ-46',    '套'),
    (6, '铜芯电缆',       'BV-2.5',   '米'),
    (7, '工业润滑油',     'L-HM46',   '千克');

INSERT INTO supplier (供方编码, 供方名称, 单位地址, 法定代表人, 委托代表人, 电话, 开户行, 账号, 税号, 邮编) VALUES
    (1, '宁波恒达五金制品有限公司', '浙江省宁波市鄞州区天童南路588号', '陈建国', '李明', '0574-8812 3456',
        '中国工商银行宁波鄞州支行', '3901 1200 0920 0123 456', '91330212MA2H8K1X3P', '315100'),
    (2, '苏州兴业办公家具有限公司', '江苏省苏州市工业园区星湖街328号', '周丽华', '吴刚', '0512-6258 7788',
        '中国建设银行苏州园区支行', '3225 0198 8836 0000 1234', '91320594MA1N7Q2L6B', '215021'),
    (3, '广州华南电工器材厂',       '广东省广州市白云区太和镇大源北路66号', '黄志强', '林晓东', '020-8743 2210',
        '中国农业银行广州白云支行', '4405 6101 0400 1234 5', '91440111712345678K', '510540');

INSERT INTO customer (客户编码, 客户名称, 单位地址, 法定代表人, 委托代表人, 电话, 开户行, 账号, 税号, 邮编) VALUES
    (1, '上海华兴贸易有限公司', '上海市浦东新区张杨路1200号', '王伟', '赵敏', '021-5888 1234',
        '中国银行上海浦东分行', '4563 5876 1234 5678', '91310115MA1K3B5Y2C', '200120'),
    (2, '北京远航科技有限公司', '北京市海淀区中关村大街27号', '刘洋', '孙悦', '010-6255 9080',
        '招商银行北京中关村支行', '1109 0876 5410 902', '91110108MA01C2D3E4', '100080'),
    (3, '成都天府机电设备有限公司', '四川省成都市武侯区科华北路99号', '张勇', '杨帆', '028-8541 6677',
        '交通银行成都武侯支行', '5110 0601 2018 0001 2345', '91510107MA6C8F9G0H', '610041');

-- Standard clauses of the sales contract (contract 1), in clause order.
INSERT INTO Contract_role (合同编码, 合同序号, 条款序号, 条款名称, 条款内容) VALUES
    (1, 1,  '一、',   '质量标准', '产品质量按国家标准执行，无国家标准的按行业标准或双方确认的样品执行。'),
    (1, 2,  '二、',   '供方对质量负责的条件和期限', '在正常使用和保管条件下，供方自交货之日起十二个月内对产品质量负责。'),
    (1, 3,  '三、',   '包装标准', '按供方出厂标准包装，包装应适合长途运输和防潮防震，包装物不予回收。'),
    (1, 4,  '四、',   '随机备品、配件及工具', '随机备品、配件及专用工具按产品说明书所列数量随货提供，不另计价。'),
    (1, 5,  '五、',   '合理损耗及计算方法', '运输途中的合理损耗不超过千分之三，超出部分由供方负责补足。'),
    (1, 6,  '六、',   '交货地点及方式', '供方送货至需方指定仓库，需方凭送货单签收即视为交货。'),
    (1, 7,  '七、',   '运输方式及费用负担', '采用公路运输，运费及途中保险费由供方承担。'),
    (1, 8,  '八、',   '验收标准及方法', '需方在收货后七日内按本合同质量标准验收，如有异议应在此期限内书面提出。'),
    (1, 9,  '九、',   '结算方式及期限', '需方在验收合格并收到增值税专用发票后三十日内以银行转账方式付清全部货款。'),
    (1, 10, '十、',   '担保方式', '本合同不设担保，双方以各自的信誉保证履行。'),
    (1, 11, '十一、', '违约责任', '任何一方违约，应按《中华人民共和国民法典》的规定承担违约责任，逾期交货或付款的每日按未履行部分金额的万分之五支付违约金。'),
    (1, 12, '十二、', '解决合同纠纷的方式', '履行本合同发生争议时由双方协商解决，协商不成的，提交需方所在地人民法院诉讼解决。'),
    (1, 13, '十三、', '其他约定事项', '本合同自双方签字盖章之日起生效，未尽事宜由双方另行签订补充协议，补充协议与本合同具有同等效力。');
