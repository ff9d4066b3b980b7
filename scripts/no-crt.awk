# no-crt.awk OrvexC.def: the guide's list of the C functions OrvexC.dll gives
# a module, from the export table's C runtime block: those forwarded to
# msvcrt.dll (with msvcrt's name where it differs) and the library's own.
function flush(title, names, count,    line, i, out, item) {
  line = title
  sub(/COUNT/, count, line)
  out = ""
  for (i = 1; i <= count; i++) {
    item = names[i] (i < count ? "," : ".")
    if (length(line) + 1 + length(item) > 76) { out = out line "\n"; line = item } else line = line " " item
  }
  return out line "\n"
}
/^; ---- C runtime/ { inside = 1; next }
/^; ---- end of C runtime/ { inside = 0 }
inside && $2 == "=" {
  name = $1; target = $3
  if (target ~ /^msvcrt\./) {
    sub(/^msvcrt\./, "", target)
    forwarded[++nf] = "`" name "`" (target != name ? " (`" target "`)" : "")
  } else {
    own[++no] = "`" name "`"
  }
}
END {
  printf "%s\n", flush("Forwarded to `msvcrt.dll` (COUNT; in brackets the name there, which `OrvexC.lib` links as well):", forwarded, nf)
  printf "%s", flush("`OrvexC.dll`'s own (COUNT):", own, no)
}
