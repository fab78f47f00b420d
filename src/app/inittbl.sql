/* The tables of rirevar. Every text column is binary, so any bytes come back unchanged. */
/* A statement ends with a semicolon at the end of a line, and the lines of a statement are */
/* joined without any separator, so every line carries its own blanks. Running this again */
/* keeps the tables and rows that exist. */
set names sjis;
create table if not exists mail (
 m_id int not null,
 d_id int not null default 0,
 flag tinyint not null default 0,
 s_id int not null default 0,
 mailfrom mediumblob not null default '',
 recipients mediumblob not null default '',
 cc mediumblob not null default '',
 bcc mediumblob not null default '',
 replyto mediumblob not null default '',
 date datetime not null default current_timestamp,
 subject mediumblob not null default '',
 priority smallint not null default 0,
 body longblob not null default '',
 size bigint not null default 0,
 regdate datetime not null default current_timestamp,
 header mediumblob not null default '',
 primary key (m_id),
 key mail_folder_date (d_id, date),
 key mail_date (date),
 key mail_regdate (regdate)
) engine=InnoDB default charset=sjis;
create table if not exists state (
 s_id int not null,
 name mediumblob not null default '',
 primary key (s_id)
) engine=InnoDB default charset=sjis;
create table if not exists dir (
 d_id int not null,
 p_id int not null default 0,
 name mediumblob not null default '',
 filter mediumblob not null default '',
 allfilter tinyint not null default 0,
 primary key (d_id)
) engine=InnoDB default charset=sjis;
create table if not exists attachment (
 a_id int not null auto_increment,
 m_id int not null default 0,
 filename mediumblob not null default '',
 encode mediumblob not null default '',
 rowfile int not null default 0,
 primary key (a_id),
 key attachment_mail (m_id),
 key attachment_file (rowfile)
) engine=InnoDB default charset=sjis;
create table if not exists address (
 u_id int not null auto_increment,
 d_id int not null default 0,
 name mediumblob not null default '',
 kana mediumblob not null default '',
 company mediumblob not null default '',
 belong mediumblob not null default '',
 zip mediumblob not null default '',
 address mediumblob not null default '',
 tel mediumblob not null default '',
 fax mediumblob not null default '',
 email mediumblob not null default '',
 homepage mediumblob not null default '',
 memo mediumblob not null default '',
 primary key (u_id),
 key address_folder (d_id)
) engine=InnoDB default charset=sjis;
create table if not exists ad_dir (
 d_id int not null,
 p_id int not null default 0,
 name mediumblob not null default '',
 primary key (d_id)
) engine=InnoDB default charset=sjis;
insert ignore into dir (d_id, p_id, name, filter, allfilter) values
 (0, 0, '作業中', 'd_id=0', 1),
 (1, 0, '受信箱', 'd_id=1', 1),
 (2, 0, '送信済み', 'd_id=2', 1),
 (3, 0, '下書き', 'd_id=3', 1),
 (4, 0, 'ごみ箱', 'd_id=4', 1);
insert ignore into state (s_id, name) values
 (0, '既読'),
 (1, '未読'),
 (3, '未送信'),
 (4, '送信済'),
 (5, 'ﾃﾝﾌﾟﾚｰﾄ'),
 (6, '★'),
 (7, '◎');
