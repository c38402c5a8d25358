# Shared by the source checks: the lines of `files` that match `regex`, each
# as "path/from/root: line", in `out`.
function(fan_matching_lines out files regex)
  set(found "")
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "${regex}")
    foreach(line ${lines})
      file(RELATIVE_PATH shown ${ROOT} ${file})
      string(STRIP "${line}" line)
      list(APPEND found "${shown}: ${line}")
    endforeach()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()
