// The base of the import parsers: each fills the shared import document
// from its input and then sends the document to the host.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "documents/import_document.h"
#include "support/string_list.h"

namespace vx {

// Hands a document to the host: text, type code, command; true when the
// host's exchange server took it.
using TSendFunction = std::function<bool(const std::string& text, int32_t typeCode, const std::string& command)>;

class TCustomTextParser {
 public:
  TCustomTextParser();
  virtual ~TCustomTextParser();
  TCustomTextParser(const TCustomTextParser&) = delete;
  TCustomTextParser& operator=(const TCustomTextParser&) = delete;

  // Fills the shared import document from the text.
  virtual void ParseText(const std::string& text, TStringList& lines, const std::string& description,
                         uint8_t option) = 0;
  // Emits the shared document; with kImportAsText in flags sends the text
  // with CommandName and ValueTypeCode. True when it was sent and the host
  // acknowledged it.
  virtual bool Send(TStringList& lines, const std::string& description, int flags);
  virtual int32_t ValueTypeCode() const;
  virtual std::string CommandName() const { return "OUTDATA"; }

  // ParseText, then Send; Send's result. When either raises, the shared
  // document is discarded before the error passes on, so that a
  // half-filled document never reaches the next run, and nothing is sent.
  bool Execute(const std::string& text, const std::string& description, int flags, uint8_t option);

  TJSONImport& Importer();

  // How Send reaches the host: WriteIPCValueASync unless replaced.
  TSendFunction SendFunction;

 private:
  std::unique_ptr<TJSONImport> FImporter;
};

}  // namespace vx
