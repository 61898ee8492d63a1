#pragma once
// A reader for Motorola S-record text files (S1, S2, S3 data records, S9 end record).
// Each data record becomes one image segment.

#include <string>

#include "plenum/protocol/firmware_image.h"

namespace plenum {

// Results of readSRecords.
enum SRecordResult : int {
  SRecordsRead = 0,
  SRecordsNone = 1,        // the file could not be opened, or S9 came before any data
  SRecordsNotS = 2,        // a line does not begin with 'S'
  SRecordsUnknownType = 3, // a record type other than 1, 2, 3 or 9
  SRecordsMalformed = 4,   // a record too short for its count, or with a non-hex digit
};

// Appends the data records of the file to `image`. A wrong checksum is reported and the
// record kept. Returns one of SRecordResult.
int readSRecords(FirmwareImage& image, const std::string& fileName);

}  // namespace plenum
