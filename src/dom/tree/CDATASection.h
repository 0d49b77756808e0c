#ifndef PAGEDOM_TREE_CDATASECTION_H
#define PAGEDOM_TREE_CDATASECTION_H

#include "tree/CharacterData.h"

// A CDATA section; also the raw content of SCRIPT-like elements and JSP
// blocks, where it is written without its delimiters.
class CDATASection : public CharacterData {
public:
    static const std::string NODE_NAME;
    static const std::string OPEN_TAG;
    static const std::string CLOSE_TAG;
    static const std::string DECL_KEY;

    CDATASection(Document* ownerDocument, const std::string& data);

    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    Node* cloneNode(bool deep) const override;
    std::string getSource() const override;
    void formatSource() override;
    void setData(const std::string& data) override;
    void _writeStart(std::string& out) const override;

    void setSource(const std::string& source);

protected:
    CDATASection(const CDATASection& other) = default;

private:
    bool _inRawContent() const;

    mutable std::string _source;
    mutable bool _formatPending = true;
};

#endif
