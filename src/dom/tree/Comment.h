#ifndef PAGEDOM_TREE_COMMENT_H
#define PAGEDOM_TREE_COMMENT_H

#include "tree/CharacterData.h"

// An HTML comment ("<!--" ... "-->") or a JSP comment ("<%--" ... "--%>").
class Comment : public CharacterData {
public:
    static const std::string NODE_NAME;
    static const std::string OPEN_TAG;
    static const std::string CLOSE_TAG;
    static const std::string JSP_OPEN_TAG;
    static const std::string JSP_CLOSE_TAG;
    static const std::string DECL_KEY;

    Comment(Document* ownerDocument, const std::string& data);

    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    Node* cloneNode(bool deep) const override;
    bool isTrivialNode() const override;
    std::string getSource() const override;
    void formatSource() override;
    void setData(const std::string& data) override;
    void _writeStart(std::string& out) const override;

    bool isJSPFormat() const { return _jspFormat; }
    void setJSPFormat(bool on);
    void setSource(const std::string& source);

    // Comment data with its dashes made safe: no "--" run and no trailing
    // dash that would end the comment early.
    static std::string makeSafeData(const std::string& data);

protected:
    Comment(const Comment& other) = default;

private:
    mutable std::string _source;
    mutable bool _formatPending = true;
    bool _jspFormat = false;
};

#endif
