#include "store/field.h"

namespace numora::store {

bool isMemoType(FieldType type) { return type == FieldType::Memo || type == FieldType::Binary; }

} // namespace numora::store
