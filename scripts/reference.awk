# Writes the reference in Markdown from the public headers (given in order):
# each header's introduction, each family's heading and introduction, and one
# entry per export, type and version macro with its declaration and the
# comment written directly above it (a run of version macros shares one). An
# export or type without its comment is an error: the run fails naming it.
#
# Header grammar, line by line:
#   /* ---- Title ---- */            a family: "### Title"
#   /* ---- end of ... */            closes nothing; ignored
#   /* comment */ + blank line       an introduction paragraph
#   /* comment */ + preprocessor     an introduction paragraph
#   /* comment */ + declaration      the declaration's description
#   ORVEXC_API ... ;                 an export (may span lines; the
#                                    assembler-name binding is left out)
#   typedef struct X X;  struct X { ... };  #define ORVEXC_VERSION_...
#                                    a type or a version macro

function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }

function emit(text) { body = body text "\n" }

function paragraph(text) { sub(/\n+$/, "", text); if (text != "") emit("\n" text) }

# One entry: heading, declaration, description.
function entry(name, decl, doc) {
  sub(/\n+$/, "", doc)
  if (doc == "") { print "no description above " name " in " header > "/dev/stderr"; failed = 1 }
  emit("\n#### `" name "`\n\n```c\n" decl "\n```\n\n" doc)
  index_line = index_line (index_line == "" ? "" : ", ") "[" name "](#" slug(name) ")"
}

# The index line of the family that ends.
function close_family() {
  if (family != "" && index_line != "")
    contents = contents "- [" family "](#" slug(family) "): " index_line "\n"
  index_line = ""
}

# A comment's text without its delimiters and leading " * ".
function comment_text(line) {
  sub(/^\/\*+ ?/, "", line); sub(/[ \t]*\*+\/[ \t]*$/, "", line); sub(/^ \*( |$)/, "", line)
  return trim(line)
}

# The declaration that starts on this line, read on to its terminator.
function read_until(terminator,   text, line) {
  text = $0
  while (index(text, terminator) == 0 && (getline line) > 0) text = text "\n" line
  return text
}

# An export or type: described by the comment directly above it.
function describe(name, decl) { entry(name, decl, pending); pending = "" }

FNR == 1 {
  close_family()
  header = FILENAME; sub(/.*\//, "", header)
  family = header; emit("\n## " header)
  pending = ""; shared = ""; incomment = 0
}

incomment {
  text = comment_text($0)
  pending = pending (pending == "" || text == "" ? "" : "\n") text
  if (text == "" && pending != "") pending = pending "\n"
  if ($0 ~ /\*\//) incomment = 0
  next
}

/^\/\* ---- end of/ { shared = ""; next }

/^\/\* ---- / {
  close_family()
  family = $0; sub(/^\/\* ---- /, "", family); sub(/ -+ *\*\/$/, "", family)
  emit("\n### " family)
  pending = ""; shared = ""; next
}

/^\/\*/ {
  pending = comment_text($0)
  incomment = ($0 !~ /\*\//)
  next
}

/^ORVEXC_API / {
  decl = read_until(";")
  sub(/^ORVEXC_API /, "", decl)
  gsub(/ ORVEXC_CRT_BIND\([A-Za-z0-9_]*\)/, "", decl)
  gsub(/[ \t\n]+/, " ", decl)
  name = decl; sub(/\(.*/, "", name); n = split(name, words, /[ *]+/)
  describe(words[n], decl)
  next
}

/^#define ORVEXC_VERSION_/ {
  if (pending != "") { shared = pending; pending = "" }
  entry($2, $0, shared)
  next
}

/^typedef struct [A-Za-z_]+ [A-Za-z_]+;/ { describe($3, $0); next }

/^struct [A-Za-z_]+ \{/ { name = $2; describe(name, read_until("};")); next }

/^[ \t]*$/ { paragraph(pending); pending = ""; shared = ""; next }

/^#/ { paragraph(pending); pending = ""; shared = ""; next }

{ pending = ""; shared = "" }

END {
  close_family()
  print "# OrvexC reference"
  print ""
  print "Made from the comments of `include/OrvexC.h` and `include/OrvexCRT.h` when the library"
  print "is built: each entry is the comment above its declaration."
  print ""
  print "## Index"
  print ""
  printf "%s", contents
  printf "%s", body
  exit failed
}
