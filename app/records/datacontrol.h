#pragma once

#include "app/records/database.h"
#include "app/records/recordset.h"
#include "core/status.h"

#include <QString>

#include <functional>

class BoundField;

// The window's data control Data1: a database name, a record source, the
// connection, and the bound record set built from them.
class DataControl {
public:
    DataControl();
    DataControl(const DataControl&) = delete;
    DataControl& operator=(const DataControl&) = delete;

    void setDatabaseName(const QString& path) { databaseName_ = path; }
    const QString& DatabaseName() const { return databaseName_; }
    // "DATA1" for table order, or "SELECT * FROM DATA1 ORDER BY [Name] asc" / "desc".
    void setRecordSource(const QString& source) { recordSource_ = source; }
    const QString& RecordSource() const { return recordSource_; }

    // Opens the database if it is not open, then rebuilds the record set from the
    // record source; its first record becomes current.
    Status Refresh();
    ::Recordset& Recordset() { return recordset_; }
    ::Database& Database() { return database_; }
    // Commits a pending record and closes the connection, so the file can be copied.
    // If the commit fails nothing is closed. Closing Database() directly does the same.
    Status Close() { return database_.Close(); }

    // Opens the database file as a second connection beside the record set's, keeps it
    // open, and runs `statement` there (Clear DB's "delete * from DATA1 "). The record
    // set notices the change at its next operation.
    Status ExecuteOnSecondConnection(const QString& statement);

    void bind(const QString& column, BoundField* holder) { recordset_.bind(column, holder); }
    void setRepositionHandler(std::function<void()> handler)
    {
        recordset_.setRepositionHandler(std::move(handler));
    }

private:
    QString databaseName_;
    QString recordSource_ = QStringLiteral("DATA1");
    // Declared after the connection, so its statements are gone before the connection.
    ::Database database_;
    ::Recordset recordset_;
    ::Database secondConnection_;
};

// The order a record source asks for; false for a source this store cannot read.
bool recordOrderOf(const QString& recordSource, RecordOrder& order);
