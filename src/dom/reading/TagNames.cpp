// The tag-name table of a reader.
#include "reading/TagNames.h"

#include <cstdint>

#include "base/NameTable.h"
#include "doctype/DocumentTypeAccess.h"

namespace pagedom {

namespace {

// 32-bit FNV-1a; tag names are short, so the whole name is hashed.
constexpr std::uint32_t FNV_OFFSET_BASIS = 2166136261u;
constexpr std::uint32_t FNV_PRIME = 16777619u;
constexpr unsigned FOLD_SHIFT = 16;

} // namespace

std::size_t TagNames::_slotOf(const std::string& name)
{
    std::uint32_t h = FNV_OFFSET_BASIS;
    for (char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= FNV_PRIME;
    }
    return (h ^ (h >> FOLD_SHIFT)) & (SLOTS - 1);
}

TagNames::TagNames(const DocumentType* documentType)
    : _documentType(documentType),
      _generation(documentType ? DocumentTypeAccess::elementTypesGeneration(*documentType) : 0),
      _slots(_threadSlots())
{
}

std::array<TagNames::Slot, TagNames::SLOTS>& TagNames::_threadSlots()
{
    thread_local std::array<Slot, SLOTS> slots;
    return slots;
}

const TagNames::Answer& TagNames::lookUp(const std::string& name)
{
    Slot& slot = _slots[_slotOf(name)];
    // The usual case: the name met before, under these declarations.
    if (slot.typed && slot.generation == _generation && slot.name == name) {
        slot.answer.type = DocumentTypeAccess::caseTwinMeant(slot.stored, name);
        return slot.answer;
    }
    if (!slot.used || slot.name != name) {
        slot.name = name;
        slot.answer.shared = NameTable::intern(name);
        slot.used = true;
        slot.typed = false;
    }
    if (!slot.typed || slot.generation != _generation) {
        slot.stored = _documentType ? DocumentTypeAccess::storedElementType(*_documentType, name) : nullptr;
        slot.generation = _generation;
        slot.typed = true;
    }
    slot.answer.type = DocumentTypeAccess::caseTwinMeant(slot.stored, name);
    return slot.answer;
}

} // namespace pagedom
