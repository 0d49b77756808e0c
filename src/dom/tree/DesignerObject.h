// The host's object behind a design-time control.
#ifndef PAGEDOM_TREE_DESIGNEROBJECT_H
#define PAGEDOM_TREE_DESIGNEROBJECT_H

class MetaData;

// Implemented by the host: the designer of a design-time control (an OBJECT
// the editor describes with a designer).  When the page is saved and the
// control's run-time text is out of date, the library calls update, which
// may store new run-time text in the metadata (MetaData::setRuntimeData);
// the metadata's run-time text is then written.  The host owns the object
// and keeps it alive while a metadata holds it.
class DesignerObject {
public:
    // The host's object; the library never deletes it.
    virtual ~DesignerObject() {}
    // Brings metaData (the control's metadata) up to date before its run-time
    // text is written.
    virtual void update(MetaData* metaData) = 0;
};

#endif
