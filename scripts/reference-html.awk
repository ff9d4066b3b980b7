# Turns the reference's Markdown (as reference.awk writes it: headings,
# paragraphs, "- " lists, fenced code, `code` and [text](#anchor) links)
# into one self-contained HTML page; headings get the ids their links use.

function escape(s) { gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); gsub(/>/, "\\&gt;", s); return s }

# Inline markup of one escaped line: `code` and [text](#anchor).
function inline(s,   out, at, len) {
  out = ""
  while (match(s, /`[^`]*`/)) {
    at = RSTART; len = RLENGTH  # links() matches too
    out = out links(substr(s, 1, at - 1)) "<code>" substr(s, at + 1, len - 2) "</code>"
    s = substr(s, at + len)
  }
  return out links(s)
}

function links(s,   out, text, target) {
  out = ""
  while (match(s, /\[[^]]*\]\(#[^)]*\)/)) {
    text = substr(s, RSTART + 1, RLENGTH - 1); target = text
    sub(/\].*/, "", text); sub(/.*\(/, "", target); sub(/\)$/, "", target)
    out = out substr(s, 1, RSTART - 1) "<a href=\"" target "\">" text "</a>"
    s = substr(s, RSTART + RLENGTH)
  }
  return out s
}

function close_block() {
  if (block == "p") print "</p>"
  else if (block == "ul") print "</li></ul>"
  block = ""
}

BEGIN {
  print "<!DOCTYPE html>"
  print "<html lang=\"en\"><head><meta charset=\"utf-8\"><title>OrvexC reference</title><style>"
  print "body{font:15px/1.5 system-ui,sans-serif;max-width:60em;margin:2em auto;padding:0 1em;color:#222}"
  print "pre{background:#f4f4f4;padding:.6em;overflow-x:auto}code{font:13px ui-monospace,monospace}"
  print "h4{margin:1.6em 0 .3em}h3{border-bottom:1px solid #ccc}a{color:#05c}"
  print "</style></head><body>"
}

incode && /^```$/ { print "</code></pre>"; incode = 0; next }
incode { print escape($0); next }
/^```/ { close_block(); printf "<pre><code>"; incode = 1; next }

/^#+ / {
  close_block()
  level = index($0, " ") - 1; text = substr($0, level + 2)
  print "<h" level " id=\"" slug(text) "\">" inline(escape(text)) "</h" level ">"
  next
}

/^$/ { close_block(); next }

/^- / {
  if (block == "ul") print "</li><li>"
  else { close_block(); print "<ul><li>"; block = "ul" }
  print inline(escape(substr($0, 3)))
  next
}

{
  if (block == "") { print "<p>"; block = "p" }
  print inline(escape($0))
}

END { close_block(); print "</body></html>" }
