// The data of character-data nodes and the editing operations on it, each
// a change of the node made through setData.
#include "tree/CharacterData.h"

#include "node/ChangeHooks.h"

#include "tree/Document.h"

CharacterData::CharacterData(Document* ownerDocument, const std::string& data)
    : Node(ownerDocument), _data(data)
{
}

CharacterData::CharacterData(Document* ownerDocument, const pagedom::SourceText& data)
    : Node(ownerDocument), _data(data)
{
}

CharacterData::CharacterData(const CharacterData& other) : Node(other), _data(other._data.detached()) {}

void CharacterData::setData(const std::string& data)
{
    _sourceTouched();
    _data = data;
}

void CharacterData::_setDataAnnounced(const std::string& data)
{
    _sourceTouched();
    pagedom::ChangeHooks::announceBeginModify(this);
    _data = data;
    _regenerateSource();
    pagedom::ChangeHooks::announceEndModify(this);
}

std::string CharacterData::substringData(unsigned long offset, unsigned long count) const
{
    return std::string(_data.view().substr(offset, count));
}

void CharacterData::appendData(const std::string& data)
{
    setData(_data.str() + data);
}

void CharacterData::insertData(unsigned long offset, const std::string& data)
{
    std::string updated = _data.str();
    updated.insert(offset, data);
    setData(updated);
}

void CharacterData::deleteData(unsigned long offset, unsigned long count)
{
    std::string updated = _data.str();
    updated.erase(offset, count);
    setData(updated);
}

void CharacterData::replaceData(unsigned long offset, unsigned long count, const std::string& data)
{
    std::string updated = _data.str();
    updated.replace(offset, count, data);
    setData(updated);
}
