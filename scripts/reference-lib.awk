# What the reference's two passes share (scripts/gen-reference.sh).

# The anchor GitHub gives a heading: lower case, backquotes and punctuation
# dropped, blanks as hyphens. The HTML page gives its headings the same ids.
function slug(s,   out, i, c) {
  s = tolower(s); out = ""
  for (i = 1; i <= length(s); i++) {
    c = substr(s, i, 1)
    if (c ~ /[a-z0-9_-]/) out = out c
    else if (c == " ") out = out "-"
  }
  return out
}
