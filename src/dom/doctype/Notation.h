#ifndef PAGEDOM_DOCTYPE_NOTATION_H
#define PAGEDOM_DOCTYPE_NOTATION_H

#include "node/Node.h"

// A notation declaration.
class Notation : public Node {
public:
    static const std::string OPEN_TAG;
    static const std::string DECL_KEY;
    static const std::string PUBLIC_KEY;
    static const std::string SYSTEM_KEY;
    static const std::string CLOSE_TAG;

    Notation(Document* ownerDocument, const std::string& name);

    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    Node* getParentNode() const override;
    Node* cloneNode(bool deep) const override;
    std::string getSource() const override;
    void _writeStart(std::string& out) const override;

    std::string getPublicID() const { return _publicID; }
    void setPublicID(const std::string& id) { _publicID = id; }
    std::string getSystemID() const { return _systemID; }
    void setSystemID(const std::string& id) { _systemID = id; }

protected:
    Notation(const Notation& other) = default;
    void _setParentNode(Node*) override {}

private:
    std::string _publicID;
    std::string _systemID;
};

#endif
