-- The system library index (INX.MDB): which systems, chillers and towers exist and which
-- chillers and towers each system uses. Booleans: -1 True, 0 False.
CREATE TABLE Systems (
  lID INTEGER PRIMARY KEY,
  sName TEXT NOT NULL COLLATE NOCASE,
  bSelected INTEGER NOT NULL DEFAULT 0,
  fTotalCondWaterFlow REAL NOT NULL DEFAULT 0);
CREATE TABLE SystemChiller (
  lSystemID INTEGER NOT NULL,
  lChillerID INTEGER NOT NULL);
CREATE TABLE SystemTower (
  lSystemID INTEGER NOT NULL,
  lTowerID INTEGER NOT NULL);
CREATE TABLE Chillers (
  lID INTEGER PRIMARY KEY,
  sName TEXT NOT NULL COLLATE NOCASE,
  nType INTEGER NOT NULL DEFAULT 0,
  fFLCapacity REAL NOT NULL DEFAULT 0,
  fFLPower REAL NOT NULL DEFAULT 0,
  fCondWaterFlow REAL NOT NULL DEFAULT 0);
CREATE TABLE Towers (
  lID INTEGER PRIMARY KEY,
  sName TEXT NOT NULL COLLATE NOCASE,
  fCondWaterFlow REAL NOT NULL DEFAULT 0);
