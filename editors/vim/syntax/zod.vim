" Vim syntax file
" Language:     zerizevar test scripts (.zod)
" Keywords are upper case only: a lower-case spelling is a name. A line whose
" first character is & continues the previous one, rest-of-line items included.
" The text of # and @ lines, and C text in parentheses, is C.

if exists("b:current_syntax")
  finish
endif
let s:cpo_save = &cpo
set cpo&vim

syn case match
syn iskeyword @,48-57,_,$

" C for the # and @ lines.
syn include @zodC syntax/c.vim
unlet! b:current_syntax
syn case match
syn iskeyword @,48-57,_,$

" Items defined later win over earlier ones starting at the same place.
syn match   zodOperator     /&&\|||\|[=!<>]=\|<<\|>>\|->\|++\|--\|[-+*/%<>!~^&|=?:]/ contained
syn match   zodAt           /@/
syn match   zodContinuation /^&/

" Rest-of-line items end at the line end unless the next line starts with &.
syn match   zodComment      /--.*\%(\n&.*\)*/ contains=zodContinuation
syn region  zodCommentText  matchgroup=zodStatement start=/\<COMMENT\ze[^A-Za-z0-9_$]/ end=/\%(\n&\)\@!$/ contains=zodContinuation keepend
syn region  zodCLine        matchgroup=zodCMark start=/#/ end=/\%(\n&\)\@!$/ contains=zodContinuation,@zodC keepend
syn region  zodCLine        matchgroup=zodCMark start=/\%(^\%(%%\=[A-Z+~]\+\)\=[ \t]*\)\@<=@/ end=/\%(\n&\)\@!$/ contains=zodContinuation,@zodC keepend

" Execution filters at the first column.
syn match   zodFilter       /^%%\=[A-Z+~]\+/ contains=zodFilterOperator
syn match   zodFilterOperator /[+~]/ contained

" Values after INIT =, EV = and VA =.
syn cluster zodValueItems   contains=zodString,zodCharacter,zodNumber,zodConstant,zodArrow,zodRange,zodOperator,zodContinuation
syn region  zodValue        matchgroup=zodValueKeyword start=/\<INIT[ \t]*=/ start=/\<\%(VA\|EV\)[ \t]*=\ze[^=]/ end=/\%(\n&\)\@!$/ contains=@zodValueItems keepend
syn match   zodValueKeyword /\<EV[ \t]*==/
syn match   zodArrow        /=>/
syn match   zodRange        /\.\./ contained

syn keyword zodDeclaration  HEADER DECLARE_INSTANCE INSTANCE SCENARIO FAMILY PROC PROCSEND CALLBACK
syn keyword zodDeclaration  INITIALIZATION TERMINATION EXCEPTION COMMTYPE CHANNEL MESSAGE TRIGGER
syn keyword zodDeclaration  SHARE TIMER CATCH FORMAT VIRTUALCALLBACK VIRTUALPROCSEND
syn match   zodDeclaration  /\<VIRTUAL[ \t]\+\%(CALLBACK\|PROCSEND\)\>/
syn keyword zodInclude      INCLUDE
syn keyword zodControl      IF THEN ELSE END WHILE CASE WHEN IS LOOP EXIT ERROR CALL WAITTIL
syn keyword zodControl      RENDEZVOUS PAUSE TIMEOUT
syn keyword zodStatement    SEND DEF_MESSAGE DEF_TRIGGER VAR ADD_ID CLEAR_ID FD_ADD FD_DEL RESET
syn keyword zodStatement    PRINT FLUSH_TRACE TRACE_ON TRACE_OFF INTERSEND INTERRECV NO_MESSAGE
syn keyword zodStatement    MESSAGE_DATE SET UNSET DISABLE_CLEANUP ENABLE_CLEANUP ON WITH MULTIPLEXING
syn keyword zodRef          REF
syn keyword zodConstant     OTHERS NIL NONIL
syn keyword zodWtime        WTIME

syn match   zodScenarioName /\%(\<SCENARIO[ \t]\+\)\@<=\h[A-Za-z0-9_$]*/
syn match   zodFunctionName /\%(\<PROC[ \t]\+\)\@<=\h[A-Za-z0-9_$]*/
syn match   zodFunctionName /\%(\<CALL\>[ \t]*\)\@<=[^( \t][^(]\{-}\ze[ \t]*\%((\|$\)/

" Parentheses hold C expressions: there -- and # are C text.
syn cluster zodNativeItems  contains=zodNative,zodString,zodCharacter,zodNumber,zodConstant,zodWtime,zodMatching,zodAt,zodOperator,zodContinuation,zodRef
syn region  zodNative       matchgroup=zodParen start=/(/ end=/)/ contains=@zodNativeItems
syn match   zodMatching     /\<\%(NOT\)\=MATCH\%(ING\|ED\)\ze(/ contained

syn region  zodString       start=/"/ skip=/\\./ end=/"/ contains=zodEscape,zodContinuation
syn match   zodEscape       /\\./ contained
syn match   zodCharacter    /'\%(\\\%(x\x\{0,2}\|0\o\{0,2}\|.\)\|[^\\]\)'/
syn match   zodNumber       /\%([A-Za-z0-9_$]\)\@<!\%(0[xX]\x\+\|\%(\d\+\.\%(\.\)\@!\d*\|\.\d\+\)\%([eE][+-]\=\d\+\)\=\|\d\+[eE][+-]\=\d\+\|\d\+\)[uUlLfF]\{,3}\%([A-Za-z0-9_$]\)\@!/
syn match   zodEnvVariable  /\%([A-Za-z0-9_$]\)\@<!\$[A-Za-z_]\+/

hi def link zodContinuation   Special
hi def link zodComment        Comment
hi def link zodCommentText    Comment
hi def link zodCMark          PreProc
hi def link zodFilter         PreCondit
hi def link zodFilterOperator Operator
hi def link zodValueKeyword   Keyword
hi def link zodArrow          Operator
hi def link zodRange          Operator
hi def link zodDeclaration    Structure
hi def link zodInclude        Include
hi def link zodControl        Conditional
hi def link zodStatement      Statement
hi def link zodRef            Statement
hi def link zodConstant       Constant
hi def link zodWtime          Identifier
hi def link zodScenarioName   Function
hi def link zodFunctionName   Function
hi def link zodMatching       Function
hi def link zodOperator       Operator
hi def link zodAt             Operator
hi def link zodParen          Delimiter
hi def link zodString         String
hi def link zodEscape         SpecialChar
hi def link zodCharacter      Character
hi def link zodNumber         Number
hi def link zodEnvVariable    Identifier

let b:current_syntax = "zod"
let &cpo = s:cpo_save
unlet s:cpo_save
