-- Neovim as a client of `scenario lsp`, for tests/lsp_neovim_test.cpp, with the README's own set-up.
-- Started with
--   nvim --headless --clean -c "luafile tests/lsp_neovim.lua"
-- and these environment variables (`scenario` on the PATH, as the set-up starts it):
--   SCENARIO_SETUP    the README's Lua block for Neovim, which this script runs as an init.lua would
--   SCENARIO_FILE     the train service to open (its line description beside it, on disk)
--   SCENARIO_PLANTED  the text of the planted mistake, on one line of the file
--   SCENARIO_FIXED    what replaces it
--   SCENARIO_RESULT   the file this script writes: one line per diagnostic ("diagnostic CODE LINE", lines
--                     from 1), then what completion inserts for "segnale" ("completion plain segnale" or
--                     "completion snippet ...") and whether Neovim offered snippets ("snippets offered" or
--                     "no snippets offered"), then "cleared" once the fix cleared the diagnostics, then
--                     "server exit STATUS"
-- Every wait is bounded; a wait that runs out writes "timeout: ..." and ends Neovim with status 1, as
-- does an error of the script ("error: ...").

local result = {}
local result_path = os.getenv('SCENARIO_RESULT')

local function finish(status)
  local file = assert(io.open(result_path, 'w'))
  file:write(table.concat(result, '\n') .. '\n')
  file:close()
  vim.cmd(status == 0 and 'qall!' or ('cquit ' .. status))
end

local function wait(what, condition)
  if not vim.wait(20000, condition, 20) then
    table.insert(result, 'timeout: ' .. what)
    finish(1)
  end
end

-- The server's exit status: the set-up's configuration gets an on_exit, whichever call it makes.
local exit_status = nil
local function watched(start)
  return function(config, ...)
    config.on_exit = function(code) exit_status = code end
    return start(config, ...)
  end
end

local function main()
  vim.lsp.set_log_level('ERROR')
  vim.lsp.start_client = watched(vim.lsp.start_client)
  if vim.lsp.start then vim.lsp.start = watched(vim.lsp.start) end
  dofile(os.getenv('SCENARIO_SETUP'))
  vim.cmd('edit ' .. vim.fn.fnameescape(os.getenv('SCENARIO_FILE')))

  wait('the diagnostics of the planted mistake', function() return #vim.diagnostic.get(0) > 0 end)
  local found = {}
  for _, diagnostic in ipairs(vim.diagnostic.get(0)) do
    table.insert(found, string.format('diagnostic %s %d', tostring(diagnostic.code), diagnostic.lnum + 1))
  end
  table.sort(found)
  for _, line in ipairs(found) do table.insert(result, line) end

  local clients = (vim.lsp.get_clients or vim.lsp.get_active_clients)({ bufnr = 0 })
  if #clients ~= 1 then
    table.insert(result, 'clients attached: ' .. #clients)
    finish(1)
  end
  local client = clients[1]

  -- Completion at the start of a "segnale" entry, as CTRL-X CTRL-O asks for it.
  local planted = os.getenv('SCENARIO_PLANTED')
  local fixed = os.getenv('SCENARIO_FIXED')
  local planted_line = nil
  for number, text in ipairs(vim.api.nvim_buf_get_lines(0, 0, -1, false)) do
    if string.find(text, planted, 1, true) then planted_line = number - 1 end
  end
  local answers = vim.lsp.buf_request_sync(0, 'textDocument/completion', {
    textDocument = { uri = vim.uri_from_bufnr(0) },
    position = { line = planted_line, character = 3 },
  }, 20000)
  local inserted = 'none'
  for _, answer in pairs(answers or {}) do
    for _, item in ipairs((answer.result or {}).items or {}) do
      if item.label == 'segnale' then
        inserted = (item.insertTextFormat == 2 and 'snippet ' or 'plain ') .. item.textEdit.newText
      end
    end
  end
  table.insert(result, 'completion ' .. inserted)
  local offered = vim.tbl_get(client.config.capabilities or {}, 'textDocument', 'completion', 'completionItem',
                              'snippetSupport')
  table.insert(result, offered and 'snippets offered' or 'no snippets offered')

  -- The fix, as an author would type it: the planted text replaced on its line.
  local text = vim.api.nvim_buf_get_lines(0, planted_line, planted_line + 1, false)[1]
  local from, to = string.find(text, planted, 1, true)
  vim.api.nvim_buf_set_lines(0, planted_line, planted_line + 1, false,
                             { string.sub(text, 1, from - 1) .. fixed .. string.sub(text, to + 1) })
  wait('the diagnostics to clear after the fix', function() return #vim.diagnostic.get(0) == 0 end)
  table.insert(result, 'cleared')

  vim.lsp.stop_client(client.id)
  wait('the server to exit', function() return exit_status ~= nil end)
  table.insert(result, 'server exit ' .. tostring(exit_status))
  finish(0)
end

local ok, failure = pcall(main)
if not ok then
  table.insert(result, 'error: ' .. tostring(failure))
  finish(1)
end
