// Tree-building costs: many attributes on one element, many siblings, deep
// chains.  Each must grow linearly with its count.
#include <benchmark/benchmark.h>

#include <string>

#include "dom.h"
#include "doctype/DeclarationBuilder.h"
#include "tree/ElementAccess.h"

using pagedom::DeclarationBuilder;

namespace {

// A document type declaring one element with n attributes, so that the
// attribute bindings go through real lookups.
DocumentType* typeWithAttributes(int n)
{
    DocumentType* type = DOMImpl::createDocumentType("bench");
    ElementType* e = DeclarationBuilder::createElementType(*type, "E");
    DeclarationBuilder::setContentModel(*e, "(#PCDATA)");
    DeclarationBuilder::addElementType(*type, e);
    AttrTypeList* list = DeclarationBuilder::createAttrTypeList(*type, "E");
    for (int i = 0; i < n; ++i)
        DeclarationBuilder::addAttrType(*list,
                                        DeclarationBuilder::createAttrType(*type, "a" + std::to_string(i)));
    DeclarationBuilder::addAttrTypeList(*type, list);
    return type;
}

void BM_SetAttributes(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    DocumentType* type = typeWithAttributes(n);
    Document* doc = DOMImpl::createDocument("bench", type);
    for (auto _ : state) {
        Element* e = doc->createElement("E");
        for (int i = 0; i < n; ++i)
            e->setAttribute("a" + std::to_string(i), "v");
        benchmark::DoNotOptimize(e->getAttribute("a0"));
        e->releaseRef();
    }
    state.SetComplexityN(n);
    doc->releaseRef();
    type->releaseRef();
}
BENCHMARK(BM_SetAttributes)->RangeMultiplier(4)->Range(64, 16384)->Complexity();

void BM_ReaderAttributes(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    DocumentType* type = typeWithAttributes(n);
    Document* doc = DOMImpl::createDocument("bench", type);
    for (auto _ : state) {
        Element* e = doc->createElement("E");
        for (int i = 0; i < n; ++i) {
            Attr* a = doc->createAttribute("a" + std::to_string(i));
            pagedom::ElementAccess::addAttributeNode(*e, a);
        }
        benchmark::DoNotOptimize(e->getAttributes()->item(static_cast<unsigned long>(n / 2)));
        e->releaseRef();
    }
    state.SetComplexityN(n);
    doc->releaseRef();
    type->releaseRef();
}
BENCHMARK(BM_ReaderAttributes)->RangeMultiplier(4)->Range(64, 16384)->Complexity();

void BM_AppendSiblings(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Document* doc = DOMImpl::createDocument("page");
    for (auto _ : state) {
        Element* root = doc->createElement("root");
        for (int i = 0; i < n; ++i)
            root->appendChild(doc->createElement("item"));
        root->releaseRef();
    }
    state.SetComplexityN(n);
    doc->releaseRef();
}
BENCHMARK(BM_AppendSiblings)->RangeMultiplier(4)->Range(256, 65536)->Complexity();

void BM_DeepChainCloneAndRelease(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Document* doc = DOMImpl::createDocument("page");
    Element* root = doc->createElement("root");
    Node* cur = root;
    for (int i = 0; i < n; ++i) {
        Element* e = doc->createElement("div");
        cur->appendChild(e);
        cur = e;
    }
    for (auto _ : state) {
        Node* copy = root->cloneNode(true);
        benchmark::DoNotOptimize(copy->getSource().size());
        copy->releaseRef();
    }
    state.SetComplexityN(n);
    root->releaseRef();
    doc->releaseRef();
}
BENCHMARK(BM_DeepChainCloneAndRelease)->RangeMultiplier(4)->Range(1024, 65536)->Complexity();

} // namespace
