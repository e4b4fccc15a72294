#ifndef SCENARIO_LSP_PROTOCOL_H_
#define SCENARIO_LSP_PROTOCOL_H_

// The numbers and names of the language server protocol that this server
// speaks, written once. Every value here is fixed by the protocol and read
// by editors: never renumber or rename one.

#include <string_view>

namespace scenario {

// Error codes of JSON-RPC and of the protocol on top of it.
inline constexpr int kRpcParseError = -32700;
inline constexpr int kRpcInvalidRequest = -32600;
inline constexpr int kRpcMethodNotFound = -32601;
inline constexpr int kRpcInvalidParams = -32602;
inline constexpr int kRpcServerNotInitialized = -32002;

// The methods the server answers or sends.
inline constexpr std::string_view kMethodInitialize = "initialize";
inline constexpr std::string_view kMethodShutdown = "shutdown";
inline constexpr std::string_view kMethodExit = "exit";
inline constexpr std::string_view kMethodDidOpen = "textDocument/didOpen";
inline constexpr std::string_view kMethodDidChange = "textDocument/didChange";
inline constexpr std::string_view kMethodDidSave = "textDocument/didSave";
inline constexpr std::string_view kMethodDidClose = "textDocument/didClose";
inline constexpr std::string_view kMethodHover = "textDocument/hover";
inline constexpr std::string_view kMethodCompletion = "textDocument/completion";
inline constexpr std::string_view kMethodDocumentSymbol =
    "textDocument/documentSymbol";
inline constexpr std::string_view kMethodPublishDiagnostics =
    "textDocument/publishDiagnostics";

// How the editor sends a changed document.
enum class TextDocumentSyncKind { kFull = 1 };

enum class DiagnosticSeverity { kError = 1, kWarning = 2 };

enum class SymbolKind { kNamespace = 3, kConstant = 14, kStruct = 23 };

enum class CompletionItemKind { kModule = 9, kKeyword = 14 };

// How a completion's insertText is taken: as it is, or as a snippet with
// tab stops ("${1:name}").
enum class InsertTextFormat { kPlainText = 1, kSnippet = 2 };

// The markup of hover contents.
inline constexpr std::string_view kMarkupMarkdown = "markdown";

// What this server calls itself: its name in serverInfo and the source of
// its diagnostics.
inline constexpr std::string_view kServerName = "scenario-compiler";
inline constexpr std::string_view kServerVersion = SCENARIO_VERSION;

}  // namespace scenario

#endif  // SCENARIO_LSP_PROTOCOL_H_
