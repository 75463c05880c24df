#pragma once

#include "RecordData.h"
#include "VKKeyedCollectionData.h"

// The records of one datafile, by identifier.
class DatafileRecordsData : public VKKeyedCollectionData<RecordData> {
public:
    using VKKeyedCollectionData<RecordData>::VKKeyedCollectionData;
    QString className() const override { return QStringLiteral("DatafileRecordsData"); }
};
