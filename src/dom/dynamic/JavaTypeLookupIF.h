// The interface through which the host answers questions about the Java
// types of bean properties.
#ifndef PAGEDOM_DYNAMIC_JAVATYPELOOKUPIF_H
#define PAGEDOM_DYNAMIC_JAVATYPELOOKUPIF_H

// Implemented by the host: answers the Java type of a bean property and the
// name of its getter, for the code generated for data-bound elements.  Every
// non-null string it returns is handed back through releaseString exactly
// once, after the library has copied it.
class JavaTypeLookupIF {
public:
    // The host's object; the library never deletes it.
    virtual ~JavaTypeLookupIF() {}
    // The Java type of the value of propertyPath, whose first segment names a
    // bean of class beanClass; null when unknown.
    virtual const char* getPropertyType(const char* propertyPath, const char* beanClass) const = 0;
    // The getter of property on class className; null when unknown.  The
    // host sets useNamedGetter when the getter takes the property name as a
    // string argument.
    virtual const char* getGetterName(const char* className, const char* property,
                                      bool* useNamedGetter) const = 0;
    // Takes back a string returned by one of the questions above.
    virtual void releaseString(const char* s) const = 0;
};

#endif
