// Tokenizes .zod scripts with the VS Code grammar of editors/vscode and checks
// the scopes of chosen tokens, that every keyword of the lexer's table is
// highlighted, and that each whole script ends with no string or region open.
// Usage: node grammar_test.js <node_modules dir> <source dir>
'use strict';
const fs = require('fs');
const path = require('path');

const [modules, source] = process.argv.slice(2);
const tm = require(path.join(modules, 'vscode-textmate'));
const onig = require(path.join(modules, 'vscode-oniguruma'));
const ext = path.join(source, 'editors/vscode');
const read = (file) => fs.readFileSync(path.join(source, file), 'utf8');

// [file, text of the line (first line holding it), token (searched from there), expected scope].
// 'none' means a plain name: no scope beyond the file's own.
const D = 'examples/demo.zod', S = 'tests/editors/sample.zod';
const C = (name) => `tests/cases/${name}/t.zod`;
const EXPECTED = [
  [D, 'HEADER "demo"', 'demo', 'string.quoted.double.zod'],
  [D, '#static int counter;', '#', 'punctuation.section.embedded.begin.zod'],
  [D, '#static int counter;', 'static', 'meta.embedded.line.c.zod'],
  [D, '#static int counter;', 'int', 'storage.type.c'],
  [D, '-- Polls a link', 'Polls', 'comment.line.double-dash.zod'],
  [D, 'IF (demo_receive', '0', 'constant.numeric.zod'],
  [D, '@demo_send(id', 'demo_send', 'source.c'],
  [D, 'PROC Reset_counter', 'Reset_counter', 'entity.name.function.zod'],
  [D, 'SCENARIO Startup', 'Startup', 'entity.name.section.scenario.zod'],
  [D, 'CALL demo_start(1) @ 0', 'demo_start', 'entity.name.function.zod'],
  [D, 'CALL demo_start(1) @ 0', '@', 'keyword.operator.at.zod'],
  [D, 'VAR start_command, INIT', 'INIT', 'keyword.other.value.zod'],
  [D, 'VAR start_command, INIT', '=>', 'keyword.operator.arrow.zod'],
  [D, 'DEF_MESSAGE running_report', '..', 'keyword.operator.range.zod'],
  [D, 'WAITTIL (MATCHED', 'MATCHED', 'keyword.operator.matching.zod'],
  [D, 'WAITTIL (MATCHED', 'WTIME', 'variable.language.wtime.zod'],
  [D, 'COMMENT the system', 'COMMENT', 'keyword.other.comment.zod'],
  [D, 'COMMENT the system', 'stopped', 'comment.line.statement.zod'],
  [C('drv_composite_blocks'), '%A+B COMMENT', 'A', 'constant.other.filter.zod'],
  [C('drv_composite_blocks'), '%A+B COMMENT', '+', 'keyword.operator.filter.zod'],
  [C('drv_composite_blocks'), '%%~C SET', '%%', 'punctuation.definition.filter.zod'],
  [C('drv_composite_blocks'), 'COMMENT a "quoted"', 'quoted', 'comment.line.statement.zod'],
  [C('drv_calls'), 'CALL put(REF', 'REF', 'keyword.other.zod'],
  [C('drv_var_bases'), "VAR c, INIT = 'a'", "'a'", 'string.quoted.single.zod'],
  [C('drv_var_bases'), 'VAR d, EV = 1.5', '1.5', 'constant.numeric.zod'],
  ['tests/cases/semantic_multiline_constructs/t.zod', '& 0.5', '&', 'punctuation.separator.continuation.zod'],
  ['tests/cases/semantic_multiline_constructs/t.zod', '& nothere2)', ')', 'punctuation.section.parens.end.zod'],
  [S, 'HEADER $PROJECT', '$PROJECT', 'variable.other.environment.zod'],
  [S, '& on the next line', 'next', 'comment.line.double-dash.zod'],
  [S, '#define LIMIT', 'LIMIT', 'source.c'],
  [S, '& + 1', '1', 'meta.embedded.line.c.zod'],
  [S, 'VIRTUAL CALLBACK', 'CALLBACK', 'storage.type.zod'],
  [S, 'SCENARIO Cases LOOP 010', '010', 'constant.numeric.zod'],
  [S, '%A+B if (x) then', 'if', 'none'],
  [S, '%%~C @step', 'step', 'source.c'],
  [S, "WHEN '\\n' =>", "'\\n'", 'string.quoted.single.zod'],
  [S, 'WHEN OTHERS', 'OTHERS', 'constant.language.zod'],
  [S, 'VAR p, EV = NONIL', 'NONIL', 'constant.language.zod'],
  [S, 'VAR z, EV ==', '==', 'keyword.operator.comparison.zod'],
  [S, 'WAITTIL (NOTMATCHING', 'NOTMATCHING', 'keyword.operator.matching.zod'],
  [S, 'WAITTIL (NOTMATCHING', '--', 'keyword.operator.zod'],
  [S, 'CALL obj_open', '\\"', 'constant.character.escape.zod'],
  [S, 'VARIABLE COMMENT', 'VARIABLE', 'none'],
  [S, 'VARIABLE COMMENT', 'COMMENT', 'none'],
];

// A small stand-in for the C grammar that VS Code brings, enough to see that
// the text of # and @ lines is handed to it.
const C_GRAMMAR = { scopeName: 'source.c', patterns: [{ match: '\\b(?:int|char|long)\\b', name: 'storage.type.c' }] };

async function loadGrammar() {
  const wasm = fs.readFileSync(path.join(modules, 'vscode-oniguruma/release/onig.wasm'));
  await onig.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const pkg = JSON.parse(fs.readFileSync(path.join(ext, 'package.json'), 'utf8'));
  const contribution = pkg.contributes.grammars[0];
  const grammarPath = path.join(ext, contribution.path);
  const registry = new tm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new onig.OnigScanner(patterns),
      createOnigString: (text) => new onig.OnigString(text),
    }),
    loadGrammar: async (scope) => {
      if (scope === contribution.scopeName) return tm.parseRawGrammar(fs.readFileSync(grammarPath, 'utf8'), grammarPath);
      if (scope === 'source.c') return tm.parseRawGrammar(JSON.stringify(C_GRAMMAR), 'c.json');
      return null;
    },
  });
  return registry.loadGrammar(contribution.scopeName);
}

// Lines of tokens [{text, start, end, scopes}], and whether the text ends at the top level.
function tokenize(grammar, text) {
  let stack = tm.INITIAL;
  const lines = text.split('\n').map((line) => {
    const result = grammar.tokenizeLine(line, stack);
    stack = result.ruleStack;
    return { line, tokens: result.tokens.map((t) => ({ start: t.startIndex, end: t.endIndex, scopes: t.scopes })) };
  });
  return { lines, closed: stack.depth === tm.INITIAL.depth };
}

function scopesAt(lines, lineText, token) {
  const line = lines.find((l) => l.line.includes(lineText));
  if (!line) return null;
  const at = line.line.indexOf(token, line.line.indexOf(lineText));
  const found = at < 0 ? null : line.tokens.find((t) => t.start <= at && at < t.end);
  return found ? found.scopes : null;
}

async function main() {
  const grammar = await loadGrammar();
  const failures = [];
  let checks = 0;
  const check = (ok, what) => { checks += 1; if (!ok) failures.push(what); };

  const examples = fs.readdirSync(path.join(source, 'examples')).filter((f) => f.endsWith('.zod')).map((f) => `examples/${f}`);
  const files = [...new Set([...examples, ...EXPECTED.map((e) => e[0])])];
  const tokenized = new Map(files.map((f) => [f, tokenize(grammar, read(f))]));
  for (const [file, result] of tokenized) check(result.closed, `${file}: a string or region is still open at the end`);

  for (const [file, lineText, token, scope] of EXPECTED) {
    const scopes = scopesAt(tokenized.get(file).lines, lineText, token);
    const ok = scopes && (scope === 'none' ? scopes.length === 1 : scopes.includes(scope));
    check(ok, `${file}: '${token}' in '${lineText}': expected ${scope}, got ${scopes ? scopes.join(' ') : 'no such token'}`);
  }

  // Every keyword of the lexer is highlighted; its lower-case spelling is a name.
  const keywords = [...read('src/script/tokens.def').matchAll(/^ZV_KEYWORD(?:_WITHOUT_CODE)?\((\w+)/gm)].map((m) => m[1]);
  check(keywords.length > 50, `only ${keywords.length} keywords read from tokens.def`);
  const { lines } = tokenize(grammar, keywords.map((k) => `${k}\n${k.toLowerCase()}`).join('\n'));
  keywords.forEach((keyword, i) => {
    const upper = lines[2 * i].tokens[0].scopes.join(' ');
    check(/ (keyword|storage\.type|constant\.language)\./.test(upper), `keyword ${keyword} gets '${upper}'`);
    check(lines[2 * i + 1].tokens[0].scopes.length === 1, `${keyword.toLowerCase()} is highlighted as a keyword`);
  });

  for (const failure of failures) console.log(`FAIL ${failure}`);
  console.log(`grammar: ${files.length} files tokenized, ${checks - failures.length} passed, ${failures.length} failed`);
  process.exit(failures.length ? 1 : 0);
}

main().catch((error) => { console.log(`FAIL ${error.stack || error}`); process.exit(1); });
