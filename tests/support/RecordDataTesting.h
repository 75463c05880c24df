#pragma once

#include "RecordData.h"

// What a test's fixture puts into a record as if a file held it: no change of a datafile,
// so nobody is told. The program itself changes records through the records door only.
struct RecordDataTesting {
    static RecordData::ChangeKey key() { return {}; }
};
