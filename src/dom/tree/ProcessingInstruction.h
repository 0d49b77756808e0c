// The processing-instruction node: a block between "<?" and "?>", such as
// the XML declaration.
#ifndef PAGEDOM_TREE_PROCESSINGINSTRUCTION_H
#define PAGEDOM_TREE_PROCESSINGINSTRUCTION_H

#include "node/NamedNode.h"

// A block between "<?" and "?>"; with target "xml" at the head of a document
// it is the XML declaration.
class ProcessingInstruction : public NamedNode {
public:
    // "<?".
    static const std::string OPEN_TAG;
    // "?>".
    static const std::string CLOSE_TAG;

    // A processing instruction for target holding data.
    ProcessingInstruction(Document* ownerDocument, const std::string& target, const std::string& data);

    // The target.
    std::string getNodeName() const override;
    // The data.
    std::string getNodeValue() const override { return _data; }
    // Sets the data (setData).
    void setNodeValue(const std::string& value) override { setData(value); }
    // PROCESSING_INSTRUCTION_NODE.
    unsigned short getNodeType() const override;
    // A copy with target, data and source, without parent.
    Node* cloneNode(bool deep) const override;
    // Always true: a processing instruction never counts as content.
    bool isTrivialNode() const override;
    // The stored source, produced again from target and data when pending.
    std::string getSource() const override;
    // Asks for the source to be produced again and marks the node changed.
    void formatSource() override;

    // The target.
    std::string getTarget() const { return _name(); }
    // The data.
    std::string getData() const { return _data; }
    // Replaces the data as an announced modification and reformats.
    void setData(const std::string& data);
    // Sets a pseudo-attribute (name="value") inside the data, replacing an
    // existing pair of that name or appending after a space.
    void setAttribute(const std::string& name, const std::string& value);
    // Stores source as the source text (an announced modification).
    void setSource(const std::string& source);

protected:
    // A copy of other without parent (see cloneNode).
    ProcessingInstruction(const ProcessingInstruction& other) = default;

private:
    // Asks for the source to be produced again, without an announcement.
    void _regenerateSource();
    void _writeStart(std::string& out) const override;

    std::string _data;
    mutable std::string _source;
    mutable bool _formatPending = true;
};

#endif
