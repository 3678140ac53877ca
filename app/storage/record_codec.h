// The packed on-disk form of the stored records. Each record is described once, as a list
// of its fields in stored order (record_codec.cpp); its size, the offsets of its fields,
// the writer and the reader all follow from that list.
//
// Rules: little-endian, no padding; Integer/Boolean 2 bytes (True = -1), Long and Single
// 4, Double 8; a fixed-length text of n characters is n Windows-1252 bytes padded with
// spaces (cut when longer); arrays element by element, first index fastest; a Variant is a
// 2-byte type (0 Empty, 5 Double) followed by 8 bytes for a Double; the chiller-result
// array of PLVProfileData is an Integer 1 (dimensions), a Long 30 (elements) and a Long 1
// (lower bound), then all 30 elements. The reader also takes the empty array, a lone
// Integer 0 (dimensions) as the zero-filled layout of a fresh results file holds it: all 30
// results then read as empty records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/storage/project_records.h"
#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"

namespace modDataIO::codec {

// The stored bytes of a record.
template <class R>
std::string Encode(const R& rec);

// Reads a record from the start of `bytes`; returns the number of bytes it took. Throws
// vb::RuntimeError when the bytes end before the record does (62, Input past end of file)
// or hold an impossible value (13: a Variant type other than Empty/Double; 9: a
// chiller-result array header other than the empty array or 1 dimension of 30 elements
// from 1). `rec` may be partly overwritten when it throws: decode into a temporary.
template <class R>
std::size_t Decode(std::string_view bytes, R& rec);

// The stored size of a record (fixed except for Variants and the records holding them).
template <class R>
std::size_t EncodedSize(const R& rec);

// One top-level field of a record: its name, offset and width in the stored form of `rec`.
struct FieldPos {
  std::string name;
  std::size_t offset = 0;
  std::size_t width = 0;
};
template <class R>
std::vector<FieldPos> Layout(const R& rec);

// A top-level field that holds one number or one text: the member itself.
using FieldRef = std::variant<std::int16_t*, std::int32_t*, float*, double*, std::string*>;
using FieldVisitor = std::function<void(const char* name, FieldRef field)>;

// Calls `visit` with the stored name and the member of every top-level field of `rec` that
// holds one number or one text, in stored order; arrays, Variants and nested records are
// passed over. Lets a reader of named values (a template file) fill a record by the names
// of this one field list.
template <class R>
void VisitScalarFields(R& rec, const FieldVisitor& visit);

}  // namespace modDataIO::codec
