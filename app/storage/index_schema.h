// The tables of the system library index INX.MDB. The program itself never creates them:
// the shipped template database is built with this schema, and tests build fixtures with it.
#pragma once

namespace modDataIO {

inline constexpr const char* kIndexSchemaSql =
    "CREATE TABLE Systems(lID INTEGER PRIMARY KEY, sName TEXT NOT NULL DEFAULT '', "
    "bSelected INTEGER NOT NULL DEFAULT 0, fTotalCondWaterFlow REAL NOT NULL DEFAULT 0);"
    "CREATE TABLE SystemChiller(lSystemID INTEGER NOT NULL, lChillerID INTEGER NOT NULL);"
    "CREATE TABLE SystemTower(lSystemID INTEGER NOT NULL, lTowerID INTEGER NOT NULL);"
    "CREATE TABLE Chillers(lID INTEGER PRIMARY KEY, sName TEXT NOT NULL DEFAULT '', "
    "nType INTEGER NOT NULL DEFAULT 0, fFLCapacity REAL NOT NULL DEFAULT 0, "
    "fFLPower REAL NOT NULL DEFAULT 0, fCondWaterFlow REAL NOT NULL DEFAULT 0);"
    "CREATE TABLE Towers(lID INTEGER PRIMARY KEY, sName TEXT NOT NULL DEFAULT '', "
    "fCondWaterFlow REAL NOT NULL DEFAULT 0);";

}  // namespace modDataIO
