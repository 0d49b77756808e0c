#ifndef PAGEDOM_DOCTYPE_ENTITY_H
#define PAGEDOM_DOCTYPE_ENTITY_H

#include "node/Node.h"

// A general entity declaration.
class Entity : public Node {
public:
    static const std::string OPEN_TAG;
    static const std::string DECL_KEY;
    static const std::string PUBLIC_KEY;
    static const std::string SYSTEM_KEY;
    static const std::string NDATA_KEY;
    static const std::string CLOSE_TAG;

    Entity(Document* ownerDocument, const std::string& name);

    std::string getNodeName() const override;
    std::string getNodeValue() const override { return _value; }
    void setNodeValue(const std::string& value) override { _value = value; }
    unsigned short getNodeType() const override;
    Node* getParentNode() const override;
    Node* cloneNode(bool deep) const override;
    std::string getSource() const override;
    void _writeStart(std::string& out) const override;

    std::string getValue() const { return _value; }
    unsigned long getCharValue() const { return _charValue; }
    void setCharValue(unsigned long value) { _charValue = value; }
    std::string getPublicID() const { return _publicID; }
    void setPublicID(const std::string& id) { _publicID = id; }
    std::string getSystemID() const { return _systemID; }
    void setSystemID(const std::string& id) { _systemID = id; }
    std::string getNotationName() const { return _notationName; }
    void setNotationName(const std::string& name) { _notationName = name; }

    // The character in the host's code page, or the value when the entity
    // stands for no single byte there.
    std::string getText() const;
    // The replacement data in the data form; empty for entities that do not
    // stand for one character.
    std::string getData() const;

protected:
    Entity(const Entity& other) = default;
    void _setParentNode(Node*) override {}

private:
    std::string _value;
    unsigned long _charValue = 0;
    std::string _publicID;
    std::string _systemID;
    std::string _notationName;
};

#endif
