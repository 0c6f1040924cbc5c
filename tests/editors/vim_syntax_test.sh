#!/bin/sh
# Opens .zod scripts in vim with editors/vim on the runtime path (so the file
# type comes from ftdetect) and checks the syntax group at chosen tokens, and
# that every keyword of the lexer's table is highlighted and its lower-case
# spelling is not. Exits 77 (skipped) when vim with syntax support is missing.
# Usage: vim_syntax_test.sh <source dir> <build dir>
set -u
source_dir=$1
work_dir=$2/editors-vim

vim --version 2>/dev/null | grep -q '+syntax' || {
    echo "SKIP: vim with syntax support is not installed (Debian package vim)"; exit 77; }
mkdir -p "$work_dir" && rm -f "$work_dir/result"

# file | text of the line (first line holding it) | token (searched from there) | group ('' for none)
cat >"$work_dir/expected" <<'TABLE'
examples/demo.zod|HEADER "demo"|demo|zodString
examples/demo.zod|#static int counter;|#|zodCMark
examples/demo.zod|#static int counter;|int|cType
examples/demo.zod|-- Polls a link|Polls|zodComment
examples/demo.zod|IF (demo_receive|0|zodNumber
examples/demo.zod|@demo_send(id|@|zodCMark
examples/demo.zod|PROC Reset_counter|Reset_counter|zodFunctionName
examples/demo.zod|SCENARIO Startup|Startup|zodScenarioName
examples/demo.zod|CALL demo_start(1) @ 0|demo_start|zodFunctionName
examples/demo.zod|CALL demo_start(1) @ 0|@|zodAt
examples/demo.zod|VAR start_command, INIT|INIT|zodValueKeyword
examples/demo.zod|VAR start_command, INIT|=>|zodArrow
examples/demo.zod|DEF_MESSAGE running_report|..|zodRange
examples/demo.zod|WAITTIL (MATCHED|MATCHED|zodMatching
examples/demo.zod|WAITTIL (MATCHED|WTIME|zodWtime
examples/demo.zod|COMMENT the system|COMMENT|zodStatement
examples/demo.zod|COMMENT the system|stopped|zodCommentText
tests/cases/drv_composite_blocks/t.zod|%A+B COMMENT|A|zodFilter
tests/cases/drv_composite_blocks/t.zod|%A+B COMMENT|+|zodFilterOperator
tests/cases/semantic_multiline_constructs/t.zod|& 0.5|&|zodContinuation
tests/editors/sample.zod|HEADER $PROJECT|$PROJECT|zodEnvVariable
tests/editors/sample.zod|& on the next line|next|zodComment
tests/editors/sample.zod|& + 1|1|cNumber
tests/editors/sample.zod|VIRTUAL CALLBACK|CALLBACK|zodDeclaration
tests/editors/sample.zod|%A+B if (x) then|if|
tests/editors/sample.zod|%%~C @step|@|zodCMark
tests/editors/sample.zod|WHEN OTHERS|OTHERS|zodConstant
tests/editors/sample.zod|WAITTIL (NOTMATCHING|--|zodOperator
tests/editors/sample.zod|CALL obj_open|REF|zodRef
tests/editors/sample.zod|CALL obj_open|\"|zodEscape
tests/editors/sample.zod|VARIABLE COMMENT|COMMENT|
TABLE

cat >"$work_dir/check.vim" <<'VIM'
let s:failures = []
let s:checks = 0
function s:Check(ok, what) abort
  let s:checks += 1
  if !a:ok | call add(s:failures, a:what) | endif
endfunction
function s:Group(lnum, col) abort
  return synIDattr(synID(a:lnum, a:col, 1), 'name')
endfunction

let s:source = $ZV_SOURCE_DIR
execute 'set runtimepath^=' . fnameescape(s:source . '/editors/vim')
filetype on
syntax on
for s:row in readfile($ZV_WORK_DIR . '/expected')
  let [s:file, s:text, s:token, s:group] = split(s:row, '|', 1)
  if bufname('%') !=# s:source . '/' . s:file
    execute 'edit ' . fnameescape(s:source . '/' . s:file)
  endif
  call s:Check(&filetype ==# 'zod', s:file . ': file type is "' . &filetype . '"')
  let s:lnum = match(getline(1, '$'), '\V' . escape(s:text, '\')) + 1
  let s:col = s:lnum ? stridx(getline(s:lnum), s:token, stridx(getline(s:lnum), s:text)) + 1 : 0
  let s:got = s:col ? s:Group(s:lnum, s:col) : 'no such token'
  call s:Check(s:got ==# s:group, s:file . ": '" . s:token . "' in '" . s:text . "': expected '" . s:group . "', got '" . s:got . "'")
endfor

enew!
setfiletype zod
let s:keywords = []
for s:line in readfile(s:source . '/src/script/tokens.def')
  let s:m = matchlist(s:line, '^ZV_KEYWORD\%(_WITHOUT_CODE\)\=(\(\w\+\)')
  if !empty(s:m) | call add(s:keywords, s:m[1]) | endif
endfor
call s:Check(len(s:keywords) > 50, 'only ' . len(s:keywords) . ' keywords read from tokens.def')
call setline(1, s:keywords + map(copy(s:keywords), 'tolower(v:val)'))
for s:i in range(len(s:keywords))
  call s:Check(s:Group(s:i + 1, 1) =~# '^zod\u', 'keyword ' . s:keywords[s:i] . " gets '" . s:Group(s:i + 1, 1) . "'")
  call s:Check(s:Group(s:i + 1 + len(s:keywords), 1) ==# '', tolower(s:keywords[s:i]) . ' is highlighted as a keyword')
endfor

call writefile(map(copy(s:failures), '"FAIL " . v:val') + ['vim syntax: ' . (s:checks - len(s:failures)) . ' passed, ' . len(s:failures) . ' failed'], $ZV_WORK_DIR . '/result')
qall!
VIM

ZV_SOURCE_DIR=$source_dir ZV_WORK_DIR=$work_dir vim -Nu NONE -i NONE -es -S "$work_dir/check.vim" </dev/null >/dev/null 2>&1
if [ ! -f "$work_dir/result" ]; then
    echo "FAIL: vim ended without writing $work_dir/result"; exit 1
fi
cat "$work_dir/result"
! grep -q '^FAIL' "$work_dir/result"
