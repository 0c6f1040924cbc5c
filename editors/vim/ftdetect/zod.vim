" Test scripts of the zerizevar script compiler.
autocmd BufRead,BufNewFile *.zod setfiletype zod
