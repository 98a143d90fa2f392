-- Neovim 0.7.2 as a client of `lexivane lsp`, through the editor's own LSP functions.
-- Run: LEXIVANE=… SAMPLE=… MARKDOWN=… XDG_CONFIG_HOME=… nvim --headless --clean -c 'luafile nvim_test.lua'
-- SAMPLE is a text whose lines mix an emoji, accented letters and typos, MARKDOWN a Markdown
-- file with typos in its prose and in its markup; both are opened but never written. The test
-- checks the diagnostics as the editor places them (byte columns), applies the preferred quick
-- fix, adds a word to the custom dictionary through the server's command, checks the Markdown
-- buffer's diagnostics over its prose only, checks a project's document under its configuration
-- before and after the configuration changes, and ends the server. Exit status 0 when all of it matched; otherwise the editor quits with `cq`
-- after printing what differed. Every wait is bounded, so a silent server fails the test.

local PATIENCE = 5000 -- milliseconds for any one wait
local lexivane, sample, config = os.getenv("LEXIVANE"), os.getenv("SAMPLE"), os.getenv("XDG_CONFIG_HOME")
local markdown = os.getenv("MARKDOWN")

local function fail(message)
  io.stderr:write("\nFAIL: " .. message .. "\n")
  vim.cmd("cq")
end

local function expect(what, got, want)
  if not vim.deep_equal(got, want) then
    error(string.format("%s\n  got:      %s\n  expected: %s", what, vim.inspect(got), vim.inspect(want)), 0)
  end
  io.stdout:write("ok: " .. what .. "\n")
end

local function wait_for(what, condition)
  if not vim.wait(PATIENCE, condition, 20) then
    error("no " .. what .. " within " .. PATIENCE .. " ms", 0)
  end
end

-- Every publication, in order, besides what the editor does with it.
local published = {}
vim.lsp.handlers["textDocument/publishDiagnostics"] = function(err, result, ctx, config_)
  table.insert(published, result)
  return vim.lsp.diagnostic.on_publish_diagnostics(err, result, ctx, config_)
end

-- The diagnostics as the editor holds them: 0-based line, byte columns, the message.
local function shown(bufnr)
  local found = {}
  for _, d in ipairs(vim.diagnostic.get(bufnr)) do
    table.insert(found, { d.lnum, d.col, d.end_col, d.severity, d.source, d.message })
  end
  table.sort(found, function(a, b) return a[1] < b[1] or (a[1] == b[1] and a[2] < b[2]) end)
  return found
end

local function messages(result)
  local found = {}
  for _, d in ipairs(result.diagnostics) do table.insert(found, d.message) end
  return found
end

local function run()
  os.remove(config .. "/lexivane/lvscust.dic") -- left by an earlier run
  vim.opt.swapfile = false
  vim.cmd("edit " .. vim.fn.fnameescape(sample))
  local bufnr = vim.api.nvim_get_current_buf()
  local exit_code
  local client_id = vim.lsp.start_client({
    name = "lexivane", cmd = { lexivane, "lsp" }, root_dir = vim.fn.fnamemodify(sample, ":h"),
    on_exit = function(code) exit_code = code end,
  })
  if not client_id then error("the server did not start", 0) end
  vim.lsp.buf_attach_client(bufnr, client_id) -- didOpen goes out once initialize is answered
  local client = vim.lsp.get_client_by_id(client_id)

  wait_for("diagnostics", function() return #published > 0 end)
  local info, source = vim.diagnostic.severity.INFO, "lexivane"
  expect("diagnostics in byte columns", shown(bufnr), {
    { 0, 6, 11, info, source, "Unknown word 'wrold'" },
    { 0, 21, 24, info, source, "Unknown word 'teh'" },
    { 1, 11, 14, info, source, "Unknown word 'teh'" }, -- after a 4-byte emoji and "café"
    { 1, 15, 24, info, source, "Unknown word 'mispelled'" },
    { 2, 16, 21, info, source, "Unknown word 'wrods'" }, -- after "Naïve résumé"
    { 2, 23, 26, info, source, "Unknown word 'Teh'" },
  })
  expect("offset encoding", client.offset_encoding, "utf-16")

  -- Code actions at the cursor on the second line's "teh", asked for as code_action() asks:
  -- the line's diagnostics (with byte columns) as the context, the cursor as a UTF-16 range.
  vim.api.nvim_win_set_cursor(0, { 2, 12 })
  local params = vim.lsp.util.make_range_params(0, client.offset_encoding)
  params.context = { diagnostics = vim.lsp.diagnostic.get_line_diagnostics(bufnr) }
  local answers = vim.lsp.buf_request_sync(bufnr, "textDocument/codeAction", params, PATIENCE)
  if not answers or not answers[client_id] or answers[client_id].err then
    error("no code actions: " .. vim.inspect(answers), 0)
  end
  local actions = answers[client_id].result
  local titles = {}
  for _, action in ipairs(actions) do table.insert(titles, action.title) end
  expect("code action titles", titles, {
    "Change to 'the'", "Change to 'th'", "Change to 'teeth'", "Change to 'they'", "Change to 'that'",
    "Add 'teh' to the dictionary", "Ignore 'teh' in this session",
  })
  expect("the first is preferred", actions[1].isPreferred, true)

  vim.lsp.util.apply_workspace_edit(actions[1].edit, client.offset_encoding)
  expect("line after the quick fix", vim.api.nvim_buf_get_lines(bufnr, 1, 2, true)[1],
         "😀 café the mispelled line")

  -- Adding "teh" accepts it in every letter case; the edit above was re-checked on the way.
  local add = actions[6].command
  expect("add command", { add.command, add.arguments }, { "lexivane.addToDictionary", { "teh" } })
  local before = #published
  local answer = client.request_sync("workspace/executeCommand",
                                     { command = add.command, arguments = add.arguments }, PATIENCE, bufnr)
  expect("executeCommand error", answer == nil and "no answer" or answer.err, nil)
  local remaining = { "Unknown word 'wrold'", "Unknown word 'mispelled'", "Unknown word 'wrods'" }
  wait_for("re-published diagnostics without 'teh'", function()
    return #published > before and vim.deep_equal(messages(published[#published]), remaining)
  end)
  expect("diagnostics after adding", #shown(bufnr), 3)

  -- The word is saved by a thread of the server's own, soon after the answer.
  local function saved()
    local file = io.open(config .. "/lexivane/lvscust.dic", "rb")
    if not file then return false end
    local words = file:read("*a")
    file:close()
    return words:find("teh\r\n", 1, true) ~= nil
  end
  wait_for("the word in the custom dictionary", saved)
  expect("custom dictionary holds the word", saved(), true)

  -- A Markdown buffer (languageId "markdown"): the code span, the link target and the tag are
  -- not prose, so only the words a reader reads are flagged, at their places in the file.
  vim.cmd("edit " .. vim.fn.fnameescape(markdown))
  local md = vim.api.nvim_get_current_buf()
  expect("Markdown buffer's file type", vim.bo[md].filetype, "markdown")
  local md_uri = vim.uri_from_bufnr(md)
  vim.lsp.buf_attach_client(md, client_id)
  wait_for("diagnostics of the Markdown buffer", function()
    for _, result in ipairs(published) do
      if result.uri == md_uri then return true end
    end
    return false
  end)
  expect("Markdown diagnostics in byte columns", shown(md), {
    { 0, 2, 7, info, source, "Unknown word 'Secnd'" },
    { 2, 12, 17, info, source, "Unknown word 'wrold'" }, -- link text, after an emoji
    { 2, 81, 90, info, source, "Unknown word 'mispelled'" }, -- element text, not the link target
  })

  -- A document of a project is checked with the project's .lexivane.toml, read again once it
  -- changed on disk: the next change of the document shows it.
  local project = config .. "/project"
  vim.fn.mkdir(project .. "/.git", "p")
  local function write(path, text)
    local file = assert(io.open(path, "wb"))
    file:write(text)
    file:close()
  end
  write(project .. "/.lexivane.toml", 'words = ["wrods"]\n')
  write(project .. "/notes.txt", "wrods mispelled\n")
  vim.cmd("edit " .. vim.fn.fnameescape(project .. "/notes.txt"))
  local notes = vim.api.nvim_get_current_buf()
  local notes_uri = vim.uri_from_bufnr(notes)
  vim.lsp.buf_attach_client(notes, client_id)
  local function latest(uri)
    for i = #published, 1, -1 do
      if published[i].uri == uri then return messages(published[i]) end
    end
  end
  local function shows(want)
    return function() return vim.deep_equal(latest(notes_uri), want) end
  end
  wait_for("diagnostics under the project's words", shows({ "Unknown word 'mispelled'" }))
  expect("the project's words are accepted", latest(notes_uri), { "Unknown word 'mispelled'" })
  write(project .. "/.lexivane.toml", 'words = ["mispelled"]\n')
  vim.api.nvim_buf_set_lines(notes, 1, 1, false, { "and a new line" })
  wait_for("diagnostics under the changed configuration", shows({ "Unknown word 'wrods'" }))
  expect("the changed configuration counts", latest(notes_uri), { "Unknown word 'wrods'" })

  client.stop()
  wait_for("end of the server", function() return exit_code ~= nil end)
  expect("server exit status", exit_code, 0)
end

local ok, message = xpcall(run, debug.traceback)
if ok then
  vim.cmd("qa!")
else
  fail(message)
end
