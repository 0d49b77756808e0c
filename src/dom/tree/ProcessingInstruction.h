#ifndef PAGEDOM_TREE_PROCESSINGINSTRUCTION_H
#define PAGEDOM_TREE_PROCESSINGINSTRUCTION_H

#include "node/Node.h"

// A block between "<?" and "?>"; with target "xml" at the head of a document
// it is the XML declaration.
class ProcessingInstruction : public Node {
public:
    static const std::string OPEN_TAG;
    static const std::string CLOSE_TAG;

    ProcessingInstruction(Document* ownerDocument, const std::string& target, const std::string& data);

    std::string getNodeName() const override;
    std::string getNodeValue() const override { return _data; }
    void setNodeValue(const std::string& value) override { setData(value); }
    unsigned short getNodeType() const override;
    Node* cloneNode(bool deep) const override;
    bool isTrivialNode() const override;
    std::string getSource() const override;
    void formatSource() override;
    void _writeStart(std::string& out) const override;

    std::string getTarget() const { return _name(); }
    std::string getData() const { return _data; }
    void setData(const std::string& data);
    // Sets a pseudo-attribute (name="value") inside the data, replacing an
    // existing pair of that name or appending after a space.
    void setAttribute(const std::string& name, const std::string& value);
    void setSource(const std::string& source);

protected:
    ProcessingInstruction(const ProcessingInstruction& other) = default;

private:
    std::string _data;
    mutable std::string _source;
    mutable bool _formatPending = true;
};

#endif
