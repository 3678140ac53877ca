-- Site and building database (RIZIRure.rev). Every column that the program reads is NOT NULL.
-- Booleans are 1/0. Name columns sort case-insensitively.
CREATE TABLE Regions (
  ID INTEGER PRIMARY KEY,
  RefName TEXT NOT NULL COLLATE NOCASE,
  bSelect INTEGER NOT NULL);
CREATE TABLE Locations (
  ID INTEGER PRIMARY KEY,
  RefName TEXT NOT NULL COLLATE NOCASE,
  bSelect INTEGER NOT NULL,
  Region_ID INTEGER NOT NULL REFERENCES Regions(ID));
CREATE TABLE Cities (
  ID INTEGER PRIMARY KEY,
  RefName TEXT NOT NULL COLLATE NOCASE,
  bSelect INTEGER NOT NULL,
  Location_ID INTEGER NOT NULL REFERENCES Locations(ID));
-- Listed in rowid order (the order of insertion), so ID is not the rowid. The schedule
-- columns give the operating hours that the bin hours of the building type count
-- (HHMM; stop 2400 = midnight).
CREATE TABLE BuildingTypes (
  ID INTEGER NOT NULL UNIQUE,
  sBuildingType TEXT NOT NULL COLLATE NOCASE,
  bSelect INTEGER NOT NULL,
  WeekdayOn INTEGER NOT NULL, WeekdayStart INTEGER NOT NULL, WeekdayStop INTEGER NOT NULL,
  SaturdayOn INTEGER NOT NULL, SaturdayStart INTEGER NOT NULL, SaturdayStop INTEGER NOT NULL,
  SundayOn INTEGER NOT NULL, SundayStart INTEGER NOT NULL, SundayStop INTEGER NOT NULL);
CREATE TABLE City_Params (
  City_ID INTEGER PRIMARY KEY REFERENCES Cities(ID),
  Elevation REAL NOT NULL,
  Summer_Design_DB REAL NOT NULL,
  Summer_Coinc_WB REAL NOT NULL,
  Winter_Design_DB REAL NOT NULL);
-- Four rows per city and building type: DataCategory 1 bin dry bulbs (deg F), 2 mean
-- coincident wet bulbs (deg F), 3 hours, 4 load in percent of MaxBinLoad. Bins hottest
-- first; columns beyond BinNum are 0. The Max* columns matter on the category-4 row only.
CREATE TABLE ProfilesForSPLV (
  CityID INTEGER NOT NULL,
  BuildingTypeID INTEGER NOT NULL,
  DataCategory INTEGER NOT NULL,
  BinNum INTEGER NOT NULL,
  Bin1 REAL NOT NULL DEFAULT 0, Bin2 REAL NOT NULL DEFAULT 0, Bin3 REAL NOT NULL DEFAULT 0,
  Bin4 REAL NOT NULL DEFAULT 0, Bin5 REAL NOT NULL DEFAULT 0, Bin6 REAL NOT NULL DEFAULT 0,
  Bin7 REAL NOT NULL DEFAULT 0, Bin8 REAL NOT NULL DEFAULT 0, Bin9 REAL NOT NULL DEFAULT 0,
  Bin10 REAL NOT NULL DEFAULT 0, Bin11 REAL NOT NULL DEFAULT 0, Bin12 REAL NOT NULL DEFAULT 0,
  Bin13 REAL NOT NULL DEFAULT 0, Bin14 REAL NOT NULL DEFAULT 0, Bin15 REAL NOT NULL DEFAULT 0,
  Bin16 REAL NOT NULL DEFAULT 0, Bin17 REAL NOT NULL DEFAULT 0, Bin18 REAL NOT NULL DEFAULT 0,
  Bin19 REAL NOT NULL DEFAULT 0, Bin20 REAL NOT NULL DEFAULT 0, Bin21 REAL NOT NULL DEFAULT 0,
  Bin22 REAL NOT NULL DEFAULT 0, Bin23 REAL NOT NULL DEFAULT 0, Bin24 REAL NOT NULL DEFAULT 0,
  MaxBinLoad REAL NOT NULL DEFAULT 0,
  MaxPlantLoad REAL NOT NULL DEFAULT 0,
  MaxHourlyLoad REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (CityID, BuildingTypeID, DataCategory));
-- The same bins month by month: per city, building type, month (1-12) and bin (1..BinNum of
-- ProfilesForSPLV, hottest first) the month's hours in the bin and their mean coincident wet
-- bulb (deg F, 0 where the month has no hours there). The twelve months of a bin add up to
-- its hours in ProfilesForSPLV.
CREATE TABLE MonthlyBins (
  CityID INTEGER NOT NULL,
  BuildingTypeID INTEGER NOT NULL,
  Month INTEGER NOT NULL,
  Bin INTEGER NOT NULL,
  Hours REAL NOT NULL,
  CoincWB REAL NOT NULL,
  PRIMARY KEY (CityID, BuildingTypeID, Month, Bin));
-- Pump heads (ft of water) per evaporator flow-control code (2 variable primary,
-- 3 constant primary) over plant capacity (tons), distinct capacities per code.
CREATE TABLE PumpHead (
  EvapFlowControl INTEGER NOT NULL,
  Capacity REAL NOT NULL,
  EvapPumpHead REAL NOT NULL,
  ChilledWaterPumpHead REAL NOT NULL,
  CondPumpHead REAL NOT NULL,
  UNIQUE (EvapFlowControl, Capacity));
